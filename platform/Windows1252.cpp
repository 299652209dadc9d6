#include "platform/Windows1252.h"

#include <algorithm>

namespace {

// Characters of 0x80 to 0x9F; the five holes map to the C1 control of the same value.
constexpr char16_t Faixa80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the sequence a lead byte opens, 0 for a byte that cannot open one.
size_t Comprimento(unsigned char b) {
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF)
        return 3;
    if (b >= 0xF0 && b <= 0xF4)
        return 4;
    return 0;
}

} // namespace

char32_t ParaUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? Faixa80[byte - 0x80] : char32_t(byte);
}

char DeUnicode(char32_t codigo) {
    if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF))
        return static_cast<char>(codigo);
    for (int i = 0; i < 32; ++i)
        if (Faixa80[i] == codigo)
            return static_cast<char>(0x80 + i);
    return '?';
}

std::string DeUtf8(std::string_view utf8) {
    std::string saida;
    saida.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        auto lider = static_cast<unsigned char>(utf8[i]);
        size_t n = Comprimento(lider);
        char32_t codigo = n == 1 ? lider : lider & (0x7F >> n);
        size_t j = 1;
        for (; n > 1 && j < n && i + j < utf8.size(); ++j) {
            auto b = static_cast<unsigned char>(utf8[i + j]);
            if ((b & 0xC0) != 0x80)
                break;
            codigo = (codigo << 6) | (b & 0x3F);
        }
        bool inteira = n != 0 && j == n;
        saida += inteira ? DeUnicode(codigo) : '?';
        i += inteira ? n : std::max<size_t>(j, 1);
    }
    return saida;
}

namespace {

void AcrescentaUtf8(char32_t c, std::string& saida) {
    if (c < 0x80) {
        saida += static_cast<char>(c);
    } else if (c < 0x800) {
        saida += static_cast<char>(0xC0 | (c >> 6));
        saida += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        saida += static_cast<char>(0xE0 | (c >> 12));
        saida += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        saida += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::string ParaUtf8(std::string_view cp1252) {
    std::string saida;
    saida.reserve(cp1252.size() + cp1252.size() / 4);
    for (char c : cp1252)
        AcrescentaUtf8(ParaUnicode(static_cast<unsigned char>(c)), saida);
    return saida;
}

bool EhUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        auto lider = static_cast<unsigned char>(bytes[i]);
        size_t n = Comprimento(lider);
        if (n == 0 || i + n > bytes.size())
            return false;
        char32_t codigo = n == 1 ? lider : lider & (0x7F >> n);
        for (size_t j = 1; j < n; ++j) {
            auto b = static_cast<unsigned char>(bytes[i + j]);
            if ((b & 0xC0) != 0x80)
                return false;
            codigo = (codigo << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are no UTF-8.
        static constexpr char32_t Minimo[] = {0, 0, 0x80, 0x800, 0x10000};
        if (codigo < Minimo[n] || (codigo >= 0xD800 && codigo <= 0xDFFF) || codigo > 0x10FFFF)
            return false;
        i += n;
    }
    return true;
}
