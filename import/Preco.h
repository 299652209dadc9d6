#pragma once
// Prices: signed 64-bit counts of ten-thousandths of the currency unit, so four implied
// decimals (12,90 is held as 129000). Every conversion here works on decimal digits; no price
// ever passes through binary floating point.
#include "platform/FormatSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The price that a text stands for, or nothing when the text is not a number of the form
//   blanks, optional "+" or "-", digits with an optional decimal separator and more digits (at
//   least one digit or the separator), optional exponent ("E" or "e", optional sign, digits),
//   blanks
// where a blank is character 32 only and the decimal separator is the given one. No thousands
// separator, currency symbol or other decimal mark is accepted. The value is rounded to the
// nearest ten-thousandth, an exact half going to the even neighbour, and must lie within the
// signed 64-bit range of ten-thousandths.
std::optional<std::int64_t> TentaTextoParaPreco(std::string_view texto, char separadorDecimal);

// As above with the regional decimal separator, failing with an EErro
// "'<texto>' is not a valid floating point value".
std::int64_t TextoParaPreco(std::string_view texto, const TFormatSettings& formato);

// The price as written into statements: a plain decimal with "." whatever the regional
// settings, "-" for a negative value, no grouping, no trailing zeros in the fraction (and no
// "." when it is zero), no exponent, at most 15 significant digits (more are rounded, a half
// going away from zero). 12,90 gives 12.9 and 10,00 gives 10.
std::string PrecoParaSQL(std::int64_t preco);

// The price as shown in the report, pattern "#,##0.00": rounded to two decimals with a half
// going away from zero, the integer part grouped by three with the regional thousands
// separator, the regional decimal separator, exactly two decimals, "-" in front when the
// rounded value is negative. 1234,5 gives 1.234,50 under Brazilian settings.
std::string PrecoParaRelatorio(std::int64_t preco, const TFormatSettings& formato);
