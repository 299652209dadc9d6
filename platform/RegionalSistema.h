#pragma once
// The user's regional settings as the operating system keeps them, where it keeps them for
// every program: on Windows, the user's locale (GetLocaleInfoA). Elsewhere there is no such
// place, and the window reads the locale the environment names instead.
#include "platform/FormatSettings.h"

#include <optional>

std::optional<TFormatSettings> RegionalDoSistema();

// The settings of the locale the environment names (LC_ALL, LC_NUMERIC, LC_TIME, LANG), for a
// program without Qt; Brazilian Portuguese when it names none, the C locale or one this machine
// does not have.
TFormatSettings RegionalDoAmbiente();

// The user's settings as a program without Qt reads them: the system's, else the environment's.
TFormatSettings RegionalDoUsuario();
