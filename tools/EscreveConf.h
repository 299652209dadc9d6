#pragma once
// escreve-connection-conf: writes connection.conf for the import program from plain values
// (the file's layout is FormatoConf.h's). The options are in OpcoesConf.h, the password's
// input in SenhaConf.h, the file's writing in GravaConf.h, the exit codes in MensagensConf.h.
#include "tools/MensagensConf.h"

#include <iosfwd>
#include <string>
#include <vector>

// The whole command: options, password, checks, the file, and what it tells the user.
int EscreveConnectionConf(const std::vector<std::string>& argumentos, int entrada,
                          std::ostream& saida, std::ostream& erros);
