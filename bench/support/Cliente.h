#pragma once
// The command-line client replaying an import's statements.
#include "Maquina.h"

#include "Process.h"

#include <string>
#include <vector>

// Runs a program to its end with its errors going to io.Err; returns the time from its start to
// its exit and its CPU. A failure names the program and what it said.
TTempo CronometraPrograma(const std::vector<std::string>& args, const Redirections& io);

// Runs `mariadb` on the benchmark's database with the file as its input and its output thrown
// away; returns the time from its start to its exit and its CPU. Its errors go to a file.
TTempo ReproduzNoCliente(const std::string& endereco, const std::string& arquivo,
                         const std::string& erros);
