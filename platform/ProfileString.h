#pragma once
// Reading a value from an INI file by the rules of the Windows profile-string reader: section
// and key names match regardless of letter case; blanks around a value and one pair of
// matching single or double quotes enclosing it are dropped; a value is cut to its first
// 2047 characters; a missing file, section or key gives the default. Never fails.
#include <string>

// The system's reader: GetPrivateProfileStringA on Windows, our own everywhere else.
std::string LeProfileString(const std::string& secao, const std::string& chave,
                            const std::string& padrao, const std::string& arquivo);

// Our own reader, written to answer as GetPrivateProfileStringA does; on Windows it is built
// too, so that the two can be compared.
std::string LeProfileStringProprio(const std::string& secao, const std::string& chave,
                                   const std::string& padrao, const std::string& arquivo);
