#include "Maquina.h"

#include "Estatistica.h"
#include "TestServer.h"

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

#include <iterator>
#include <unistd.h>

double SegundosDeTiques(unsigned long long tiques) {
    return static_cast<double>(tiques) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The time the host has stolen from this machine since it started, in seconds.
double Roubado() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    unsigned long long campos[8] = {};
    stat >> cpu;
    for (auto& c : campos)
        stat >> c;
    return SegundosDeTiques(campos[7]);
}

double CpuDoProcesso(long pid) {
    // /proc/<pid>/stat: utime and stime are fields 14 and 15, after the name in parentheses.
    std::ifstream processo("/proc/" + std::to_string(pid) + "/stat");
    std::string texto((std::istreambuf_iterator<char>(processo)), {});
    std::istringstream resto(texto.substr(texto.rfind(')') + 2));
    std::string campo;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && resto >> campo; ++i) {
        if (i == 14)
            utime = std::stoull(campo);
        if (i == 15)
            stime = std::stoull(campo);
    }
    return SegundosDeTiques(utime + stime);
}

TMaquina AmostraMaquina(long pidServidor, long pidX) {
    TMaquina m;
    m.Roubado = Roubado();
    m.Servidor = CpuDoProcesso(pidServidor);
    m.X = pidX > 0 ? CpuDoProcesso(pidX) : 0;
    return m;
}

// One side's round: its time, its own CPU, the server's CPU and the steal meanwhile.
std::string Rodada(const TTempo& t) {
    return Fixo(t.Parede, 3) + " s (CPU " + Fixo(t.Cpu, 3) + " s, server " + Fixo(t.Servidor, 2) +
           (t.X > 0 ? " s, X server " + Fixo(t.X, 2) : std::string()) + " s, steal " +
           Fixo(t.Roubado, 2) + " s)";
}

void AnotaMaquina(TTempo& tempo, const TMaquina& antes, const TMaquina& depois) {
    tempo.Servidor = depois.Servidor - antes.Servidor;
    tempo.Roubado = depois.Roubado - antes.Roubado;
    tempo.X = depois.X - antes.X;
}

double CpuDe(const rusage& uso) {
    return static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
           static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

double CpuProprio() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return CpuDe(uso);
}
