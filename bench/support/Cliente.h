#pragma once
// The command-line client replaying an import's statements.
#include "Maquina.h"

#include <string>

// Runs `mariadb` on the benchmark's database with the file as its input and its output thrown
// away; returns the time from its start to its exit and its CPU. Its errors go to a file.
TTempo ReproduzNoCliente(const std::string& endereco, const std::string& arquivo,
                         const std::string& erros);
