#include "Cliente.h"

#include "Estatistica.h"
#include "Loja.h"
#include "Process.h"
#include "TestServer.h"

#include <stdexcept>

#include <sys/wait.h>

TTempo CronometraPrograma(const std::vector<std::string>& args, const Redirections& io) {
    auto inicio = Relogio::now();
    const pid_t pid = Spawn(args, io);
    rusage uso{};
    const int status = WaitFor(pid, &uso);
    TTempo tempo{Segundos(Relogio::now() - inicio), CpuDe(uso)};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed (status " + std::to_string(status) +
                                 "): " + ReadAll(io.Err));
    return tempo;
}

TTempo ReproduzNoCliente(const std::string& endereco, const std::string& arquivo,
                         const std::string& erros) {
    return CronometraPrograma({"mariadb", "--no-defaults", "-h", endereco, "-P", "3306", "-u",
                               "root", std::string("-p") + TestServer::RootPassword, Banco},
                              {.In = arquivo, .Out = "/dev/null", .Err = erros});
}
