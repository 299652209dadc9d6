#include "Comando.h"

#include "Cliente.h"
#include "Loja.h"
#include "platform/DataHora.h"

#include <cstdio>

namespace {

// Today, the date the window's pickers start with.
std::string Hoje() {
    const TData hoje = AgoraLocal().Data;
    char texto[16];
    std::snprintf(texto, sizeof texto, "%04d-%02d-%02d", hoje.Ano, hoje.Mes, hoje.Dia);
    return texto;
}

} // namespace

TTempo ImportaPeloComando(const std::string& programa, const std::string& arquivo,
                          const std::string& conf, const std::string& relatorio,
                          const std::string& erros) {
    return CronometraPrograma({programa, arquivo, "--nome", NomeCaderno, "--inicio", Hoje(),
                               "--fim", Hoje(), "--conf", conf, "--relatorio", relatorio},
                              {.In = "/dev/null", .Out = "/dev/null", .Err = erros});
}
