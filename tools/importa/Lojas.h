#pragma once
// importa-caderno --lojas: one booklet into every store of the chain. Each store is a .conf
// file (connection.conf's format) of the folders given; each runs this same command for one
// store (--conf, --relatorio, --json and, unless --importar-de-novo, --pular-se-ja-tem) in a
// process of its own, so that one store's fault, hang or crash touches no other; at most
// --simultaneas at once. A store that cannot be reached (4) is tried again after the others,
// with a growing pause, up to --tentativas times; one that failed part-way (2) never is.
// Ctrl+C: the first stops every running store between two lines and starts no other; the
// second ends them all at once. The table (or, with --json, one object with an array of the
// stores) is written at the end however it ends.
#include "tools/importa/OpcoesImporta.h"

#include <chrono>
#include <iosfwd>
#include <string>

// The pause before a store's next try: the base times the tries so far.
inline constexpr std::chrono::seconds PausaEntreTentativas{2};

// The exit code of the whole rollout: 2 when any store failed part-way; else 4 when a store
// stayed unreachable; else 3 when stopped; else 1 when a store or the whole command was
// refused; 0 when every store was imported, checked or already had the booklet.
int ImportaLojas(const TOpcoesImporta& opcoes, std::ostream& saida, std::ostream& erros,
                 bool terminal);
