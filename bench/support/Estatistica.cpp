#include "Estatistica.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

double Segundos(Relogio::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Mediana(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

double Percentil(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::string Fixo(double valor, int casas) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "%.*f", casas, valor);
    return texto;
}

std::string Milhares(long long valor) {
    std::string digitos = std::to_string(valor);
    std::string saida;
    for (size_t i = 0; i < digitos.size(); ++i) {
        if (i > 0 && (digitos.size() - i) % 3 == 0)
            saida += ',';
        saida += digitos[i];
    }
    return saida;
}
