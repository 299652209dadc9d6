#pragma once
// Windows-1252, the system's single-byte text: the Unicode character of each byte, and back.
#include <string>
#include <string_view>

char32_t ParaUnicode(unsigned char byte);
// The byte of a character; '?' for one outside Windows-1252.
char DeUnicode(char32_t codigo);
// UTF-8 text as Windows-1252 bytes: '?' for a character outside it and for a malformed sequence.
std::string DeUtf8(std::string_view utf8);
// Windows-1252 bytes as UTF-8 text.
std::string ParaUtf8(std::string_view cp1252);
// Whether the bytes are well-formed UTF-8.
bool EhUtf8(std::string_view bytes);
