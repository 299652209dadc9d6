#pragma once
// What importa-caderno --lojas knows of each store and tells of it at the end: each store's
// outcome and result, the messages of those that did not end well, the table for people and
// the JSON object for scripts, and the rollout's exit code.
#include "platform/Processos.h"
#include "tools/importa/LeituraJson.h"
#include "tools/importa/OpcoesImporta.h"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One store of the rollout.
struct TLoja {
    std::string Nome;      // the .conf file's name without ".conf", as the file system has it
    std::string Conf;      // the connection file's path, as the system takes it
    std::string Relatorio; // the report's path, as the system takes it
    int Tentativas = 0;
    std::chrono::steady_clock::time_point NaoAntes{};
    std::optional<int> Codigo; // of its last try; none while it was never started
    bool Parada = false;       // asked to stop (the first Ctrl+C)
    bool Morta = false;        // ended at once (the second)
    double Segundos = 0;       // its last try's
    TUsoDoFilho Uso;
    std::string Json;                                        // its command's summary, as written
    std::optional<std::map<std::string, TValorJson>> Resumo; // ... and as read
    std::string Erros; // what its command said on standard error

    // A member of the summary; nullopt when there is none or it is null.
    std::optional<std::string> Campo(const std::string& nome) const {
        if (!Resumo)
            return std::nullopt;
        auto i = Resumo->find(nome);
        if (i == Resumo->end() || i->second.Tipo == TValorJson::Tipo::Nulo)
            return std::nullopt;
        return i->second.Texto;
    }
};

// The store's outcome, as a one-store exit code: its command's, or what its end says of it (a
// crash or a kill is a failure part-way: what it wrote is unknown).
int Desfecho(const TLoja& loja);
// The result column: short, in the system's text.
std::string Resultado(const TLoja& loja, bool verificar);
// What went wrong: the command's message, or its last words on standard error.
std::optional<std::string> ErroDaLoja(const TLoja& loja);
// The rollout's exit code: 2 when any store failed part-way; else 4 when a store stayed
// unreachable; else 3 when stopped; else 1 when refused; 0 when every store ended well.
int CodigoDasLojas(const std::vector<TLoja>& lojas);
// The table, then the messages of the stores that did not end well: the system's text.
std::string TabelaDasLojas(const std::vector<TLoja>& lojas, bool verificar);
// One JSON object: the booklet, each store (with its own command's summary) and the code.
std::string JsonDasLojas(const TOpcoesImporta& opcoes, const std::vector<TLoja>& lojas, int codigo);
// A number with a fixed count of decimal places.
std::string Decimal(double valor, int casas);
