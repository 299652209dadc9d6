#include "Relatorio.h"

#include "Estatistica.h"
#include "LogServidor.h"

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

std::string Relatorio(const std::vector<TResultado>& resultados) {
    std::ostringstream o;
    o << "| data lines | statements | rounds | ours, median | client, median | ratio ours/client "
         "(of medians) | ratio, per round (median; min-max) | ours, lines/s | ours, ms/line | "
         "client, ms/line | client, ms/statement |\n";
    o << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        const double nosso = Mediana(r.Nosso), cliente = Mediana(r.Cliente);
        const auto [menor, maior] = std::minmax_element(r.Razoes.begin(), r.Razoes.end());
        o << "| " << Milhares(r.Linhas) << " | " << Milhares(static_cast<long long>(r.Comandos))
          << " | " << r.Nosso.size() << " | " << Fixo(nosso, 2) << " s | " << Fixo(cliente, 2)
          << " s | **" << Fixo(nosso / cliente, 3) << "** | " << Fixo(Mediana(r.Razoes), 3) << "; "
          << Fixo(*menor, 3) << "-" << Fixo(*maior, 3) << " | "
          << Milhares(static_cast<long long>(r.Linhas / nosso)) << " | "
          << Fixo(nosso * 1000 / r.Linhas, 3) << " | " << Fixo(cliente * 1000 / r.Linhas, 3)
          << " | " << Fixo(cliente * 1000 / static_cast<double>(r.Comandos), 3) << " |\n";
    }
    o << "\nimporta-caderno (the same run from the command line, a process started per import) "
         "beside the client's replay of the same statements:\n\n";
    o << "| data lines | command, median | client, median | ratio command/client (of medians) | "
         "ratio, per round (median; min-max) | command, lines/s | command CPU, median |\n";
    o << "|---:|---:|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        if (r.Comando.empty())
            continue;
        const double comando = Mediana(r.Comando), cliente = Mediana(r.Cliente);
        const auto [menor, maior] =
            std::minmax_element(r.RazoesComando.begin(), r.RazoesComando.end());
        o << "| " << Milhares(r.Linhas) << " | " << Fixo(comando, 2) << " s | " << Fixo(cliente, 2)
          << " s | **" << Fixo(comando / cliente, 3) << "** | " << Fixo(Mediana(r.RazoesComando), 3)
          << "; " << Fixo(*menor, 3) << "-" << Fixo(*maior, 3) << " | "
          << Milhares(static_cast<long long>(r.Linhas / comando)) << " | "
          << Fixo(Mediana(r.CpuComando), 3) << " s |\n";
    }
    o << "\nCPU time of each side's own process (user + system; the server's work is in "
         "neither), median:\n\n";
    o << "| data lines | ours | client | ours, us/line | client, us/line |\n";
    o << "|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        const double nosso = Mediana(r.CpuNosso), cliente = Mediana(r.CpuCliente);
        o << "| " << Milhares(r.Linhas) << " | " << Fixo(nosso, 3) << " s | " << Fixo(cliente, 3)
          << " s | " << Fixo(nosso * 1e6 / r.Linhas, 1) << " | "
          << Fixo(cliente * 1e6 / r.Linhas, 1) << " |\n";
    }
    o << "\nEvery round: each side's time, its own CPU, the server's CPU and the time the host "
         "stole from this virtual machine meanwhile (a round the host slowed shows in the last "
         "two):\n\n";
    for (auto& r : resultados) {
        o << "- " << Milhares(r.Linhas) << " lines:\n";
        for (size_t i = 0; i < r.Rodadas.size(); ++i)
            o << "  - round " << i + 1 << ": ours " << Rodada(r.Rodadas[i].first) << "; client "
              << Rodada(r.Rodadas[i].second)
              << (i < r.RodadasComando.size() ? "; command " + Rodada(r.RodadasComando[i]) : "")
              << "\n";
    }
    o << "\nThe window during a run (one untimed import per size):\n\n";
    o << "| data lines | message processings | wait for a posted event: median / 99th pct / "
         "longest | waits over 50 ms (the host's steal meanwhile) | Cancel clicks | Cancel "
         "question shown after: median / longest | click handled in: median / longest | gauge "
         "paints | statements the server took over "
      << Fixo(LimiteLenta * 1000, 0) << " ms on: count / longest |\n";
    o << "|---:|---:|---:|---|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        o << "| " << Milhares(r.Linhas) << " | " << Milhares(r.Processamentos) << " | "
          << Fixo(Mediana(r.Atrasos), 3) << " / " << Fixo(Percentil(r.Atrasos, 0.99), 3) << " / "
          << Fixo(Percentil(r.Atrasos, 1.0), 2) << " ms | ";
        if (r.Longas.empty())
            o << "none";
        for (size_t i = 0; i < r.Longas.size(); ++i)
            o << (i ? ", " : "") << Fixo(r.Longas[i].Ms, 1) << " ms ("
              << Fixo(r.Longas[i].RoubadoMs, 0) << " ms)";
        o << " | " << r.Cancelar.size() << " | " << Fixo(Mediana(r.Cancelar), 2) << " / "
          << Fixo(Percentil(r.Cancelar, 1.0), 2) << " ms | " << Fixo(Mediana(r.Cliques), 2) << " / "
          << Fixo(Percentil(r.Cliques, 1.0), 2) << " ms | " << r.Pinturas << " | "
          << r.Lentas.size() << " / " << Fixo(Percentil(r.Lentas, 1.0), 2) << " ms |\n";
    }
    return o.str();
}
