#pragma once
// One data line of the offer file: barcode, description and price, separated by ";".
#include "platform/FormatSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

struct TLinhaOferta {
    std::string Barras;     // exactly as the line holds it, neither padded nor trimmed
    std::string Descricao;  // exactly as the line holds it
    std::int64_t Preco = 0; // ten-thousandths of the currency unit
};

// The three fields before the first three ";" of the line. Nothing is trimmed and there is no
// quoting: every ";" separates. Whatever follows the third ";" is ignored. A field whose
// closing ";" is missing is empty, so a line with fewer than three ";" has an empty price text.
// The price text is converted with the regional decimal separator; a text that is not a price
// fails with "'<price text>' is not a valid floating point value".
TLinhaOferta LerLinhaOferta(std::string_view linha, const TFormatSettings& formato);
// The same into an existing object, whose texts keep their room (the import reads every line
// into one). After a failure its fields are unspecified.
void LerLinhaOferta(std::string_view linha, const TFormatSettings& formato, TLinhaOferta& oferta);

// The barcode of the product lookups: a barcode shorter than 13 characters gets "0" in front
// up to 13; a longer one is used as it is. Every character counts, blanks included.
std::string NormalizaBarras(std::string_view barras);
