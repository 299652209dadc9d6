#pragma once
// Finding a text in the report's pages, as the viewer's find bar does: from where the reader
// stands, forwards or backwards, going round past the last (or the first) page once.
#include <QString>
#include <QStringList>

#include <optional>

struct TOcorrencia {
    int Pagina;        // from 0
    qsizetype Posicao; // in the page's text
    bool DeuVolta;     // found only after going round past the end (or the start)
};

// Looks for texto in textos (one text per page) from position de of page pagina: forwards from
// de, or backwards ending before de + texto's length (de being the first character of the
// selection less one). nullopt when the text is empty or stands nowhere.
std::optional<TOcorrencia> LocalizaNasPaginas(const QStringList& textos, const QString& texto,
                                              int pagina, qsizetype de, bool paraTras,
                                              Qt::CaseSensitivity caixa);
