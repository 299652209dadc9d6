#pragma once
// The console of a command: the encoding of its arguments and of what it writes. The system's
// texts are Windows-1252; a POSIX terminal and command line speak the locale's UTF-8, a Windows
// console the ANSI code page (made 1252 by PreparaConsole).
#include <string>
#include <string_view>

// Sets a Windows console's output code page to Windows-1252; nothing elsewhere.
void PreparaConsole();
// A command-line argument as the system's text (a booklet's name, say).
std::string ArgumentoParaTexto(std::string_view argumento);
// A system's text as the console shows it.
std::string TextoParaConsole(std::string_view texto);
// A file name as UTF-8, for a summary read by other programs: a POSIX name that is no UTF-8
// has its bytes read as Windows-1252.
std::string CaminhoParaUtf8(std::string_view caminho);
