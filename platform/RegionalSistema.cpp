#include "platform/RegionalSistema.h"

#if defined(_WIN32)
#include <windows.h>

namespace {

// One value of the user's locale in the ANSI code page; the default when the system has none.
std::string Valor(LCTYPE tipo, const char* padrao) {
    char buffer[80];
    int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, tipo, buffer, sizeof buffer);
    return n > 1 ? std::string(buffer, static_cast<size_t>(n - 1)) : std::string(padrao);
}

// Separators are single characters here; a longer one keeps its first byte.
char Caractere(LCTYPE tipo, char padrao) {
    std::string v = Valor(tipo, "");
    return v.empty() ? padrao : v[0];
}

} // namespace

std::optional<TFormatSettings> RegionalDoSistema() {
    TFormatSettings f;
    f.DecimalSeparator = Caractere(LOCALE_SDECIMAL, ',');
    f.ThousandSeparator = Caractere(LOCALE_STHOUSAND, '.');
    f.DateSeparator = Caractere(LOCALE_SDATE, '/');
    f.TimeSeparator = Caractere(LOCALE_STIME, ':');
    f.ShortDateFormat = Valor(LOCALE_SSHORTDATE, "dd/MM/yyyy");
    return f;
}

#else

std::optional<TFormatSettings> RegionalDoSistema() {
    return std::nullopt;
}

#endif
