#include "tools/importa/ResumoImporta.h"

#include "platform/Windows1252.h"

#include <cstdio>

std::string TextoJson(const std::string& utf8) {
    std::string saida = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            saida += "\\\"";
            break;
        case '\\':
            saida += "\\\\";
            break;
        case '\n':
            saida += "\\n";
            break;
        case '\r':
            saida += "\\r";
            break;
        case '\t':
            saida += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                saida += escape;
            } else {
                saida += static_cast<char>(c);
            }
        }
    }
    return saida + "\"";
}

namespace {

template <typename T, typename F> std::string OuNulo(const std::optional<T>& valor, F texto) {
    return valor ? texto(*valor) : std::string("null");
}

} // namespace

std::string ResumoJson(const TResumoImporta& r) {
    auto numero = [](long long n) { return std::to_string(n); };
    auto jaTem = [](const TResumoImporta::TJaTem& j) {
        return "{\"caderno\": " + std::to_string(j.CadOfertas) +
               ", \"produtos\": " + std::to_string(j.Produtos) + "}";
    };
    return "{\"arquivo\": " + (r.Arquivo.empty() ? std::string("null") : TextoJson(r.Arquivo)) +
           ", \"verificacao\": " + (r.Verificacao ? "true" : "false") +
           ", \"linhas\": " + std::to_string(r.Linhas) +
           ", \"processadas\": " + std::to_string(r.Processadas) +
           ", \"encontrados\": " + std::to_string(r.Encontrados) +
           ", \"nao_encontrados\": " + std::to_string(r.NaoEncontrados) +
           ", \"caderno\": " + OuNulo(r.CadOfertas, numero) +
           ", \"relatorio\": " + OuNulo(r.Relatorio, TextoJson) +
           ", \"parado\": " + (r.Parado ? "true" : "false") +
           ", \"ja_tem\": " + OuNulo(r.JaTem, jaTem) + ", \"loja\": " + OuNulo(r.Loja, TextoJson) +
           ", \"filial\": " + OuNulo(r.Filial, numero) +
           ", \"linha\": " + OuNulo(r.Linha, [](size_t n) { return std::to_string(n); }) +
           ", \"saida\": " + std::to_string(r.Saida) + ", \"erro\": " + OuNulo(r.Erro, TextoJson) +
           "}\n";
}

std::string ResumoTexto(const TResumoImporta& r) {
    if (r.JaTem)
        return "A loja j\xE1 tem o caderno " + std::to_string(r.JaTem->CadOfertas) + " (" +
               std::to_string(r.JaTem->Produtos) + " produtos): nada foi gravado.\n";
    std::string t = std::string(r.Verificacao ? "Verificação" : "Importação") + " de " +
                    DeUtf8(r.Arquivo) + ": " + std::to_string(r.Processadas) + " de " +
                    std::to_string(r.Linhas) + " linhas, " + std::to_string(r.Encontrados) +
                    " produtos encontrados, " + std::to_string(r.NaoEncontrados) +
                    " não encontrados.\n";
    if (r.CadOfertas)
        t += "Caderno gravado com a chave " + std::to_string(*r.CadOfertas) + ".\n";
    if (r.Relatorio)
        t += "Relatório dos produtos não encontrados: " + DeUtf8(*r.Relatorio) + "\n";
    else if (r.NaoEncontrados == 0 && !r.Parado && !r.Erro)
        t += "Nenhum produto faltou; nenhum relatório foi gravado.\n";
    if (r.Parado)
        t += "Interrompido: as linhas seguintes não foram processadas.\n";
    return t;
}
