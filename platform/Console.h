#pragma once
// The console of a command: the encoding of its arguments and of what it writes. The system's
// texts are Windows-1252; a POSIX terminal and command line speak the locale's UTF-8, a Windows
// console the code page TConsole sets (1252) while the command runs.
#include <string>
#include <string_view>
#include <vector>

// While it lives, a Windows console's input and output code pages are Windows-1252, and those
// it had are put back when it ends, so that the console the user goes on with is as it was.
// Elsewhere: standard output that takes no more (a closed pipe) is a failed write rather than
// SIGPIPE, unless the command was started with SIGPIPE handled otherwise.
class TConsole {
public:
    TConsole();
    ~TConsole();
    TConsole(const TConsole&) = delete;
    TConsole& operator=(const TConsole&) = delete;

private:
#if defined(_WIN32)
    unsigned entrada_ = 0, saida_ = 0; // the code pages found, 0 when there was no console
#endif
};

// The program's arguments after its name, as the system's texts on Windows: read as the
// system gives them (wide), whatever the ANSI code page (UTF-8 included), and converted to
// Windows-1252 (a character it lacks becomes "?"). Elsewhere, as given.
std::vector<std::string> ArgumentosDoPrograma(int argc, char** argv);

// A command-line argument as the system's text (a booklet's name, say).
std::string ArgumentoParaTexto(std::string_view argumento);
// A system's text as the console shows it.
std::string TextoParaConsole(std::string_view texto);
// A UTF-8 text (the conf tool's messages) as the console shows it.
std::string Utf8ParaConsole(std::string_view texto);
// A file name as UTF-8, for a summary read by other programs: a POSIX name that is no UTF-8
// has its bytes read as Windows-1252.
std::string CaminhoParaUtf8(std::string_view caminho);
