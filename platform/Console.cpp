#include "platform/Console.h"

#include "platform/Windows1252.h"

#if defined(_WIN32)
#include <windows.h>

#include <shellapi.h>

TConsole::TConsole() : entrada_(GetConsoleCP()), saida_(GetConsoleOutputCP()) {
    if (entrada_)
        SetConsoleCP(1252);
    if (saida_)
        SetConsoleOutputCP(1252);
}

TConsole::~TConsole() {
    if (entrada_)
        SetConsoleCP(entrada_);
    if (saida_)
        SetConsoleOutputCP(saida_);
}

std::vector<std::string> ArgumentosDoPrograma(int, char**) {
    std::vector<std::string> argumentos;
    int n = 0;
    LPWSTR* largos = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!largos)
        return argumentos;
    for (int i = 1; i < n; ++i) {
        const int tamanho = lstrlenW(largos[i]);
        std::string texto;
        if (tamanho > 0) {
            const int bytes =
                WideCharToMultiByte(1252, 0, largos[i], tamanho, nullptr, 0, nullptr, nullptr);
            texto.resize(static_cast<size_t>(bytes));
            WideCharToMultiByte(1252, 0, largos[i], tamanho, texto.data(), bytes, nullptr, nullptr);
        }
        argumentos.push_back(std::move(texto));
    }
    LocalFree(largos);
    return argumentos;
}

std::string ArgumentoParaTexto(std::string_view argumento) {
    return std::string(argumento);
}

std::string TextoParaConsole(std::string_view texto) {
    return std::string(texto);
}

std::string Utf8ParaConsole(std::string_view texto) {
    return DeUtf8(texto);
}

std::string CaminhoParaUtf8(std::string_view caminho) {
    return ParaUtf8(caminho);
}

#else
#include <signal.h>

TConsole::TConsole() {
    struct sigaction atual {};
    if (sigaction(SIGPIPE, nullptr, &atual) == 0 && atual.sa_handler == SIG_DFL)
        signal(SIGPIPE, SIG_IGN);
}

TConsole::~TConsole() = default;

std::vector<std::string> ArgumentosDoPrograma(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
}

std::string ArgumentoParaTexto(std::string_view argumento) {
    return DeUtf8(argumento);
}

std::string TextoParaConsole(std::string_view texto) {
    return ParaUtf8(texto);
}

std::string Utf8ParaConsole(std::string_view texto) {
    return std::string(texto);
}

std::string CaminhoParaUtf8(std::string_view caminho) {
    return EhUtf8(caminho) ? std::string(caminho) : ParaUtf8(caminho);
}

#endif
