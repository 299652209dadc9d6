#pragma once
// The benchmarks' arithmetic and the way their figures are written.
#include <chrono>
#include <string>
#include <vector>

using Relogio = std::chrono::steady_clock;

double Segundos(Relogio::duration d);
double Mediana(std::vector<double> v);
// The value below which a share p (0 to 1) of the values lie; 1 gives the largest.
double Percentil(std::vector<double> v, double p);
std::string Fixo(double valor, int casas);
// 12,345 (thousands separated by commas).
std::string Milhares(long long valor);
