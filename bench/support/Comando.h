#pragma once
// importa-caderno importing the benchmark's offer file, as the chain's IT would run it.
#include "Maquina.h"

#include <string>

// Runs the command on the file with the benchmark's booklet name, today's dates as the window
// has them, the connection settings of
// conf and the report at relatorio; returns the time from its start to its exit and its CPU.
// What it says goes to a file, named in the error when it fails.
TTempo ImportaPeloComando(const std::string& programa, const std::string& arquivo,
                          const std::string& conf, const std::string& relatorio,
                          const std::string& erros);
