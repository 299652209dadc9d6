#pragma once
// What importa-caderno tells at its end: for people on standard output, or one JSON object
// (--json) for the scripts of the chain's IT, whatever the exit code.
#include <optional>
#include <string>

struct TResumoImporta {
    std::string Arquivo; // UTF-8
    bool Verificacao = false;
    size_t Linhas = 0;      // data lines of the file
    size_t Processadas = 0; // data lines the run went through
    int Encontrados = 0;
    int NaoEncontrados = 0;
    std::optional<long long> CadOfertas;  // the booklet's key, when one was written
    std::optional<std::string> Relatorio; // the report's full path (UTF-8), when one was saved
    bool Parado = false;
    // The booklet of the same name and dates that the store already held (--pular-se-ja-tem):
    // its key and how many products it links.
    struct TJaTem {
        long long CadOfertas = 0;
        long long Produtos = 0;
    };
    std::optional<TJaTem> JaTem;
    std::optional<std::string> Loja; // the store's code, once its identification was read
    std::optional<long long> Filial; // its branch
    std::optional<size_t> Linha;     // the file's line (the heading is 1) where a run failed
    int Saida = 0;                   // the exit code
    std::optional<std::string> Erro; // UTF-8
};

std::string ResumoJson(const TResumoImporta& resumo);
// For people, in the system's text.
std::string ResumoTexto(const TResumoImporta& resumo);
// A UTF-8 text as a JSON string, quotes included.
std::string TextoJson(const std::string& utf8);
