#include "Comando.h"

#include "Estatistica.h"
#include "Loja.h"
#include "Process.h"
#include "TempDir.h"
#include "platform/DataHora.h"

#include <cstdio>
#include <stdexcept>

#include <sys/wait.h>

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
    auto inicio = Relogio::now();
    const pid_t pid = Spawn({programa, arquivo, "--nome", NomeCaderno, "--inicio", Hoje(), "--fim",
                             Hoje(), "--conf", conf, "--relatorio", relatorio},
                            {.In = "/dev/null", .Out = "/dev/null", .Err = erros});
    rusage uso{};
    const int status = WaitFor(pid, &uso);
    TTempo tempo{Segundos(Relogio::now() - inicio), CpuDe(uso)};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("importa-caderno failed (status " + std::to_string(status) +
                                 "): " + ReadAll(erros));
    return tempo;
}
