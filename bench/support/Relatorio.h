#pragma once
// The import benchmark's figures, and its tables in markdown.
#include "Maquina.h"
#include "Sonda.h"

#include <string>
#include <vector>

struct TResultado {
    int Linhas = 0;
    size_t Comandos = 0;
    std::vector<double> Nosso, Cliente, Razoes;
    std::vector<double> CpuNosso, CpuCliente;       // CPU seconds of each side's own process
    // importa-caderno's import of the same file: its times, CPU and ratios to the client.
    std::vector<double> Comando, CpuComando, RazoesComando;
    std::vector<TTempo> RodadasComando;
    std::vector<std::pair<TTempo, TTempo>> Rodadas; // ours and the client's, round by round
    std::vector<double> Atrasos, Cancelar;
    std::vector<double> Cliques; // ms from each Cancel click posted to the window free again
    std::vector<TSonda::TEspera> Longas;
    std::vector<double> Lentas; // ms of each statement the server took over LimiteLenta on
    int Pinturas = 0;
    int Processamentos = 0;
};

std::string Relatorio(const std::vector<TResultado>& resultados);
