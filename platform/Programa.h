#pragma once
// Starting another program from a command line, as WinExec does on Windows: the program is
// found by the usual search and started on its own, without waiting for it; the caller learns
// only whether it could be started.
#include <string>
#include <vector>

// The show state that asks for a maximised window (SW_SHOWMAXIMIZED).
inline constexpr int JanelaMaximizada = 3;

struct TLinhaDeComando {
    std::string Programa;
    std::vector<std::string> Argumentos;
};

// Splits a command line the way Windows does: the program name runs up to the first blank
// (space or tab) outside double quotes, the quotes themselves removed; the rest is split into
// arguments at blanks outside double quotes, with the C runtime's rules for quotes and
// backslashes (2n backslashes and a quote: n backslashes and a quoting quote; 2n + 1: n
// backslashes and a literal quote; two quotes inside quotes: one literal quote; other
// backslashes stand as they are).
TLinhaDeComando DivideLinhaDeComando(const std::string& linhaDeComando);

// One argument as it is written into a command line, so that DivideLinhaDeComando gives it
// back: as it stands when it holds no blank or quote and is not empty, else between double
// quotes with the C runtime's rules for quotes and backslashes.
std::string ArgumentoNaLinhaDeComando(const std::string& argumento);

// Where the program would be started from: a name with a folder in it is taken as it stands
// (a relative one from the current folder); a bare name is looked for in the running
// program's folder, then in the current folder, then in each folder of the search path
// (caminhos, the value of PATH; an empty entry is the current folder). Only executable
// regular files count. Outside Windows, a name ending in ".exe" that is found nowhere is
// looked for again without the ".exe". Returns the full path, or "" when nothing is found.
std::string ProcuraPrograma(const std::string& programa, const std::string& pastaDoPrograma,
                            const std::string& pastaAtual, const std::string& caminhos);

// Starts the command line's program detached, with its arguments, and returns at once, without
// waiting for it to end. Returns false when the program is not found or cannot be started
// (not executable, not a program). The show state is passed on where windows have one and
// ignored elsewhere.
bool WinExec(const std::string& linhaDeComando, int showState);
