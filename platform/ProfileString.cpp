#include "platform/ProfileString.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string_view>

namespace {

constexpr size_t TamanhoMaximoValor = 2047;

bool Branco(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TiraBrancos(std::string_view s) {
    while (!s.empty() && Branco(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (Branco(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string_view TiraAspas(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

} // namespace

std::string GetPrivateProfileString(const std::string& secao, const std::string& chave,
                                    const std::string& padrao, const std::string& arquivo) {
    std::ifstream in(arquivo, std::ios::binary);
    if (!in)
        return padrao;
    std::string texto{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::string_view resto(texto);
    bool naSecao = false;
    while (!resto.empty()) {
        auto fim = resto.find('\n');
        std::string_view linha = TiraBrancos(resto.substr(0, fim));
        resto = fim == std::string_view::npos ? std::string_view() : resto.substr(fim + 1);
        if (!linha.empty() && linha.front() == '[') {
            auto fecha = linha.find(']');
            std::string_view nome =
                linha.substr(1, fecha == std::string_view::npos ? fecha : fecha - 1);
            // The first section of that name is the one read.
            if (naSecao)
                break;
            naSecao = IguaisSemCaixa(TiraBrancos(nome), secao);
            continue;
        }
        if (!naSecao)
            continue;
        auto igual = linha.find('=');
        if (igual == std::string_view::npos)
            continue;
        if (!IguaisSemCaixa(TiraBrancos(linha.substr(0, igual)), chave))
            continue;
        std::string_view valor = TiraAspas(TiraBrancos(linha.substr(igual + 1)));
        return std::string(valor.substr(0, TamanhoMaximoValor));
    }
    return padrao;
}
