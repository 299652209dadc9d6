#include "ui/Texto1252.h"

#include "platform/Windows1252.h"

QString ParaQString(std::string_view bytes) {
    QString saida;
    saida.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes)
        saida += QChar(static_cast<char16_t>(ParaUnicode(static_cast<unsigned char>(c))));
    return saida;
}

std::string DeQString(const QString& texto) {
    std::string saida;
    saida.reserve(static_cast<size_t>(texto.size()));
    for (QChar q : texto)
        saida += DeUnicode(q.unicode());
    return saida;
}
