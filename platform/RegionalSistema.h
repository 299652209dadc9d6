#pragma once
// The user's regional settings as the operating system keeps them, where it keeps them for
// every program: on Windows, the user's locale (GetLocaleInfoA). Elsewhere there is no such
// place, and the window reads the locale the environment names instead.
#include "platform/FormatSettings.h"

#include <optional>

std::optional<TFormatSettings> RegionalDoSistema();
