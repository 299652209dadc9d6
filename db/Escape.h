#pragma once
// Escaping of a value that stands between double quotes in a statement.
//
// A double quote is doubled, which the server reads as one in either SQL mode. A backslash is
// doubled only when backslashes escape (the default mode); under NO_BACKSLASH_ESCAPES it is an
// ordinary character. A value with neither goes out exactly as it is.
#include <string>
#include <string_view>

bool PrecisaEscapar(std::string_view valor);
std::string EscapaAspasDuplas(std::string_view valor, bool semBarraInvertida);
