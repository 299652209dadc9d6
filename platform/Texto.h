#pragma once
// Small text helpers over Windows-1252 byte strings.
#include <string>
#include <string_view>

// Removes every character of code 32 or below from both ends.
std::string Trim(std::string_view s);

// The text with every %s replaced, in order, by the arguments.
std::string Formata(std::string_view modelo, std::initializer_list<std::string_view> args);

// Decimal digits grouped by three from the right with the given separator ("#,##0").
std::string AgrupaMilhares(std::string_view digitos, char separador);

// The text of the system's last error number (errno on POSIX), as the system's text
// (Windows-1252), in the language of the user's locale.
std::string MensagemDoSistema(int codigo);

#if defined(_WIN32)
// The system's text for a Windows error code (GetLastError, WSAGetLastError), without the line
// end and the full stop the system puts after it.
std::string TextoDoErroWindows(unsigned long codigo);
#endif
