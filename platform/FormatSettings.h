#pragma once
// The user's regional settings, read once at program start and passed to whoever needs them:
// the separators of numbers, dates and times, and the short date format.
#include <string>

struct TFormatSettings {
    char DecimalSeparator = ',';
    char ThousandSeparator = '.';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd/MM/yyyy";

    // Brazilian Portuguese, the tool's own language, used where the system names no locale.
    static TFormatSettings BrasilPadrao() { return {}; }
};
