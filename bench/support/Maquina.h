#pragma once
// What a side of a round cost and what the whole machine did meanwhile: the server's CPU and
// the time the virtual machine's host stole, so that a round the host slowed can be told apart.
#include <string>

#include <sys/resource.h>

struct TTempo {
    double Parede = 0;   // wall-clock seconds
    double Cpu = 0;      // the process's own CPU seconds, user and system
    double Servidor = 0; // the server's CPU seconds meanwhile
    double Roubado = 0;  // CPU seconds the virtual machine's host took from this machine meanwhile
    double X = 0;        // the X server's CPU seconds meanwhile, when the window runs on one
};

struct TMaquina {
    double Servidor = 0;
    double Roubado = 0;
    double X = 0;
};

// The time the host has stolen from this machine since it started, in seconds.
double Roubado();
// A process's CPU seconds so far, user and system.
double CpuDoProcesso(long pid);
// pidX: the X server's, or 0 on the offscreen platform.
TMaquina AmostraMaquina(long pidServidor, long pidX = 0);
// One side's round: its time, its own CPU, the server's CPU and the steal meanwhile.
std::string Rodada(const TTempo& t);
void AnotaMaquina(TTempo& tempo, const TMaquina& antes, const TMaquina& depois);
double CpuDe(const rusage& uso);
// This process's own CPU seconds so far.
double CpuProprio();
