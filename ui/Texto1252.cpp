#include "ui/Texto1252.h"

namespace {
// Code points of 0x80 to 0x9F; the five holes map to the C1 control of the same value.
constexpr char16_t Faixa80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString ParaQString(std::string_view bytes) {
    QString saida;
    saida.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        saida += QChar(b >= 0x80 && b < 0xA0 ? Faixa80[b - 0x80] : char16_t(b));
    }
    return saida;
}

std::string DeQString(const QString& texto) {
    std::string saida;
    saida.reserve(static_cast<size_t>(texto.size()));
    for (QChar q : texto) {
        char16_t u = q.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            saida += static_cast<char>(u);
            continue;
        }
        char c = '?';
        for (int i = 0; i < 32; ++i)
            if (Faixa80[i] == u)
                c = static_cast<char>(0x80 + i);
        saida += c;
    }
    return saida;
}
