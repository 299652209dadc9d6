#pragma once
// The store database of the import benchmark and its offer file: about 70% of the file's
// barcodes in `produto`, 10% only in `barras` and 20% nowhere.
#include "TestServer.h"

#include <string>

constexpr const char* Banco = "loja_bench";
constexpr const char* BancoBase = "loja_bench_base"; // the untouched copy of `produto`
constexpr const char* NomeCaderno = "Ofertas da Semana";

std::string ArquivoOferta(int linhas);
// The store database for a file of n data lines; returns how many statements the import of
// that file sends.
size_t PreparaLoja(TestServer& s, int linhas);
// The tables as they were before any import: no booklet, no link, products untouched.
void RestauraLoja(TestServer& s);
// What an import leaves in the tables it writes (the booklet's registration time aside), to see
// that the replay and the command did the same work.
std::string EstadoDaLoja(TestServer& s);
