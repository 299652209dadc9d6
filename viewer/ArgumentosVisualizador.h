#pragma once
// The viewer's command line: the report file, then the number of columns the report is laid
// out in (the import gives 132).
#include <string>
#include <vector>

struct TArgumentosVisualizador {
    std::string Arquivo;
    int Colunas = 132;
};

inline constexpr int ColunasPadrao = 132;
inline constexpr int ColunasMaximo = 1000;

// The arguments after the program's name, as the bytes they arrived in. Without the number
// of columns, 132. The import does not put the file name in quotes, so a name with blanks
// arrives in pieces: with more than two arguments, the last one is the number of columns and
// the others, joined by one blank, the file name. Fails with EFalhaVisualizador
// (SaidaArgumentosInvalidos) when there is no file name or the number is not a whole number
// from 1 to 1000.
TArgumentosVisualizador LeArgumentos(const std::vector<std::string>& argumentos);
