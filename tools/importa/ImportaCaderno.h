#pragma once
// importa-caderno: the import run of the window "Importação Caderno de Ofertas" from the
// command line, or the check before it (--verificar), which writes nothing to the database.
#include <iosfwd>
#include <string>
#include <vector>

// Exit codes.
inline constexpr int SaidaConcluida = 0;
inline constexpr int SaidaRecusada = 1; // input refused or bad usage: nothing was written
inline constexpr int SaidaFalhou = 2;   // the run failed part-way: what was written stays
inline constexpr int SaidaParada = 3;   // stopped by Ctrl+C or SIGTERM, between two lines
// The store could not be reached, refused the login, or its identification failed: nothing
// was written; worth trying again later.
inline constexpr int SaidaInacessivel = 4;

// The whole command, for one store or, with --lojas, for many. Ctrl+C and SIGTERM stop the run
// between two lines (before the inputs are checked they end the program as usual); progresso:
// whether standard error is a terminal, where the progress line is drawn. With --json, one
// JSON object on saida whatever the exit code.
int ImportaCaderno(const std::vector<std::string>& argumentos, std::ostream& saida,
                   std::ostream& erros, bool progresso);
