#include "platform/Console.h"

#include "platform/Windows1252.h"

#if defined(_WIN32)
#include <windows.h>

void PreparaConsole() {
    SetConsoleOutputCP(1252);
}

std::string ArgumentoParaTexto(std::string_view argumento) {
    return std::string(argumento);
}

std::string TextoParaConsole(std::string_view texto) {
    return std::string(texto);
}

std::string CaminhoParaUtf8(std::string_view caminho) {
    return ParaUtf8(caminho);
}

#else

void PreparaConsole() {}

std::string ArgumentoParaTexto(std::string_view argumento) {
    return DeUtf8(argumento);
}

std::string TextoParaConsole(std::string_view texto) {
    return ParaUtf8(texto);
}

std::string CaminhoParaUtf8(std::string_view caminho) {
    return EhUtf8(caminho) ? std::string(caminho) : ParaUtf8(caminho);
}

#endif
