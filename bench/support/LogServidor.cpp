#include "LogServidor.h"

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

namespace fs = std::filesystem;

std::vector<std::string> ComandosDaImportacao(const GeneralLog& log, std::uintmax_t posicao,
                                              size_t esperados) {
    std::vector<std::string> comandos;
    auto limite = Relogio::now() + std::chrono::seconds(10);
    do {
        comandos.clear();
        long conexao = -1;
        for (auto& e : log.Since(posicao)) {
            if (e.Command != "Query")
                continue;
            if (conexao < 0 && e.Argument.rfind("insert into cadofertas ", 0) == 0)
                conexao = e.Thread;
            if (e.Thread == conexao)
                comandos.push_back(std::move(e.Argument));
        }
        if (comandos.size() >= esperados)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Relogio::now() < limite);
    return comandos;
}

std::uintmax_t TamanhoDe(const fs::path& arquivo) {
    std::error_code erro;
    const std::uintmax_t n = fs::file_size(arquivo, erro);
    return erro ? 0 : n;
}

std::vector<double> LentasDesde(const fs::path& arquivo, std::uintmax_t posicao) {
    std::ifstream in(arquivo, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(posicao));
    std::vector<double> tempos;
    constexpr std::string_view marca = "# Query_time: ";
    for (std::string linha; std::getline(in, linha);)
        if (linha.rfind(marca, 0) == 0)
            tempos.push_back(std::stod(linha.substr(marca.size())) * 1000);
    return tempos;
}
