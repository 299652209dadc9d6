#pragma once
// What the benchmark reads in the server's logs: the statements an import sent, and the
// statements the server itself was slow on.
#include "GeneralLog.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr double LimiteLenta = 0.05; // seconds: the slow query log's threshold

// The statements of the import that began at a position of the log: those of the connection
// that sent the booklet's insert, from that insert on. Waits for the log to hold all of them.
std::vector<std::string> ComandosDaImportacao(const GeneralLog& log, std::uintmax_t posicao,
                                              size_t esperados);
// A file's size, 0 while it is not there.
std::uintmax_t TamanhoDe(const std::filesystem::path& arquivo);
// The slow query log from a position on: how long each statement took, in ms. It tells a
// stall of the server's from one of ours.
std::vector<double> LentasDesde(const std::filesystem::path& arquivo, std::uintmax_t posicao);
