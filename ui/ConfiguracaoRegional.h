#pragma once
// The user's regional settings, read once: on Windows from the user's locale, elsewhere from the
// locale the environment names (LANG, LC_ALL, ...). Where it names none (C or POSIX), Brazilian
// Portuguese, the tool's own language.
#include "platform/FormatSettings.h"

class QLocale;

TFormatSettings LeConfiguracaoRegional(const QLocale& local);
// The settings of this run: read on first use, then kept. Tests may set them.
const TFormatSettings& ConfiguracaoRegional();
void DefineConfiguracaoRegional(const TFormatSettings& formato);
