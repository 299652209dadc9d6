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

TFormatSettings RegionalDoAmbiente() {
    return TFormatSettings::BrasilPadrao();
}

#else
#include <langinfo.h>
#include <locale.h>

#include <cstring>

namespace {

char Primeiro(const char* texto, char padrao) {
    return texto && texto[0] ? texto[0] : padrao;
}

// A strftime date format (%d/%m/%Y) in the short-date pattern of the system's settings.
std::string PadraoDeData(const char* formato) {
    std::string padrao;
    for (const char* p = formato; p && *p; ++p) {
        if (*p != '%') {
            padrao += *p;
            continue;
        }
        switch (*++p) {
        case 'd':
            padrao += "dd";
            break;
        case 'e':
            padrao += "d";
            break;
        case 'm':
            padrao += "MM";
            break;
        case 'Y':
            padrao += "yyyy";
            break;
        case 'y':
            padrao += "yy";
            break;
        case '\0':
            return padrao;
        default:
            return "dd/MM/yyyy"; // a form the short date has no pattern for
        }
    }
    return padrao;
}

// The first character of a pattern that is no letter.
char SeparadorDe(const std::string& padrao, char padraoSeparador) {
    for (char c : padrao)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '%'))
            return c;
    return padraoSeparador;
}

} // namespace

std::optional<TFormatSettings> RegionalDoSistema() {
    return std::nullopt;
}

TFormatSettings RegionalDoAmbiente() {
    locale_t local = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (!local)
        return TFormatSettings::BrasilPadrao();
    TFormatSettings f;
    const char* decimal = nl_langinfo_l(RADIXCHAR, local);
    const char* milhar = nl_langinfo_l(THOUSEP, local);
    std::string data = PadraoDeData(nl_langinfo_l(D_FMT, local));
    std::string hora = nl_langinfo_l(T_FMT, local);
    // The C locale: the environment names no user's settings.
    const bool c = std::strcmp(decimal, ".") == 0 && (!milhar || !milhar[0]) && data == "MM/dd/yy";
    if (!c) {
        f.DecimalSeparator = Primeiro(decimal, ',');
        f.ThousandSeparator = Primeiro(milhar, '.');
        f.ShortDateFormat = data;
        f.DateSeparator = SeparadorDe(data, '/');
        f.TimeSeparator = hora == "%T" || hora.empty() ? ':' : SeparadorDe(hora, ':');
    }
    freelocale(local);
    return f;
}

#endif

TFormatSettings RegionalDoUsuario() {
    return RegionalDoSistema().value_or(RegionalDoAmbiente());
}
