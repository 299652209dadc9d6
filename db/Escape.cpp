#include "db/Escape.h"

bool PrecisaEscapar(std::string_view valor) {
    return valor.find_first_of("\"\\") != std::string_view::npos;
}

std::string EscapaAspasDuplas(std::string_view valor, bool semBarraInvertida) {
    std::string saida;
    saida.reserve(valor.size() + 8);
    for (char c : valor) {
        if (c == '"')
            saida += '"';
        else if (c == '\\' && !semBarraInvertida)
            saida += '\\';
        saida += c;
    }
    return saida;
}
