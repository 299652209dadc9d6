#include "platform/Texto.h"

#include "platform/Windows1252.h"

#include <cstring>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

std::string Trim(std::string_view s) {
    size_t inicio = 0;
    size_t fim = s.size();
    while (inicio < fim && static_cast<unsigned char>(s[inicio]) <= ' ')
        ++inicio;
    while (fim > inicio && static_cast<unsigned char>(s[fim - 1]) <= ' ')
        --fim;
    return std::string(s.substr(inicio, fim - inicio));
}

std::string Formata(std::string_view modelo, std::initializer_list<std::string_view> args) {
    std::string saida;
    auto arg = args.begin();
    for (size_t i = 0; i < modelo.size(); ++i) {
        if (modelo[i] == '%' && i + 1 < modelo.size() && modelo[i + 1] == 's' &&
            arg != args.end()) {
            saida += *arg++;
            ++i;
        } else {
            saida += modelo[i];
        }
    }
    return saida;
}

std::string AgrupaMilhares(std::string_view digitos, char separador) {
    std::string saida;
    saida.reserve(digitos.size() + digitos.size() / 3);
    for (size_t i = 0; i < digitos.size(); ++i) {
        if (i > 0 && (digitos.size() - i) % 3 == 0)
            saida += separador;
        saida += digitos[i];
    }
    return saida;
}

std::string MensagemDoSistema(int codigo) {
    char buffer[256];
#if defined(_WIN32)
    strerror_s(buffer, sizeof buffer, codigo);
    return buffer;
#else
    // GNU strerror_r returns the text, which may or may not be the buffer, in the locale's
    // language and encoding: a UTF-8 locale's (pt_BR.UTF-8: "Arquivo ou diretório inexistente")
    // made the system's text, Windows-1252.
    const std::string texto = ::strerror_r(codigo, buffer, sizeof buffer);
    return EhUtf8(texto) ? DeUtf8(texto) : texto;
#endif
}

#if defined(_WIN32)
std::string TextoDoErroWindows(unsigned long codigo) {
    char buffer[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             codigo, 0, buffer, sizeof buffer, nullptr);
    while (n > 0 && (static_cast<unsigned char>(buffer[n - 1]) <= ' ' || buffer[n - 1] == '.'))
        --n;
    return std::string(buffer, n);
}
#endif
