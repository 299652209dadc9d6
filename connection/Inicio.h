#pragma once
// The start of the program's connection: point it at the configured server and derive this
// store's code from the server's identification.
#include <string>

class TMyConnection;

// The data module's connection as designed: port 3306, user "root", the built-in (empty)
// password, no login prompt, and latin1 (Windows-1252 on the server), so that statements and
// fields travel unchanged.
void ConfiguraConexaoPrincipal(TMyConnection& conexao);

// Sets host, database and password from connection.conf and returns the store's one-character
// code, read through the identification's own connection. Does not connect: the caller does,
// so that a failing connect leaves the code already known. Raises EErro when the settings or
// the identification cannot be read.
std::string PreparaConexao(TMyConnection& conexao);
