#include "Cliente.h"

#include "Estatistica.h"
#include "Loja.h"
#include "Process.h"
#include "TestServer.h"

#include <stdexcept>

#include <sys/wait.h>

TTempo ReproduzNoCliente(const std::string& endereco, const std::string& arquivo,
                         const std::string& erros) {
    auto inicio = Relogio::now();
    const pid_t pid = Spawn({"mariadb", "--no-defaults", "-h", endereco, "-P", "3306", "-u", "root",
                             std::string("-p") + TestServer::RootPassword, Banco},
                            {.In = arquivo, .Out = "/dev/null", .Err = erros});
    rusage uso{};
    const int status = WaitFor(pid, &uso);
    TTempo tempo{Segundos(Relogio::now() - inicio), CpuDe(uso)};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the mariadb client failed (status " + std::to_string(status) +
                                 "): " + ReadAll(erros));
    return tempo;
}
