#include "viewer/FonteColunas.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

#include <cmath>

namespace {

constexpr qreal TamanhoMinimo = 1.0;
constexpr qreal Passo = 0.25;

QFontMetricsF Metricas(const QFont& fonte, const QPaintDevice* dispositivo) {
    return dispositivo ? QFontMetricsF(fonte, dispositivo) : QFontMetricsF(fonte);
}

bool Cabe(const QFont& fonte, int colunas, qreal largura, const QPaintDevice* dispositivo,
          int linhas, qreal altura) {
    if (LarguraDasColunas(fonte, colunas, dispositivo) > largura)
        return false;
    return linhas <= 0 || Metricas(fonte, dispositivo).lineSpacing() * linhas <= altura;
}

} // namespace

QFont FonteDoRelatorio() {
    QFont fonte = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (!QFontInfo(fonte).fixedPitch()) {
        // The system has no fixed-pitch font set up: ask for one by style.
        fonte.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                           QStringLiteral("Courier New"), QStringLiteral("monospace")});
        fonte.setStyleHint(QFont::TypeWriter);
        fonte.setFixedPitch(true);
    }
    fonte.setKerning(false);
    return fonte;
}

qreal LarguraDasColunas(const QFont& fonte, int colunas, const QPaintDevice* dispositivo) {
    // In a fixed-pitch font every character has the advance of this one.
    return Metricas(fonte, dispositivo).horizontalAdvance(QString(colunas, u'M'));
}

QFont FonteParaColunas(const QFont& base, int colunas, qreal largura,
                       const QPaintDevice* dispositivo, int alturaLinhas, qreal altura) {
    QFont fonte = base;
    colunas = std::max(colunas, 1);
    // The advance grows about in proportion to the size: start from the proportional guess and
    // correct it by the real measure, which font hinting rounds.
    constexpr qreal Referencia = 100.0;
    fonte.setPointSizeF(Referencia);
    qreal tamanho =
        Referencia * largura / std::max<qreal>(LarguraDasColunas(fonte, colunas, dispositivo), 1);
    if (alturaLinhas > 0) {
        qreal alturaRef = Metricas(fonte, dispositivo).lineSpacing() * alturaLinhas;
        tamanho = std::min(tamanho, Referencia * altura / std::max<qreal>(alturaRef, 1));
    }
    tamanho = std::max(TamanhoMinimo, std::floor(tamanho / Passo) * Passo + Passo);
    fonte.setPointSizeF(tamanho);
    while (tamanho > TamanhoMinimo &&
           !Cabe(fonte, colunas, largura, dispositivo, alturaLinhas, altura)) {
        tamanho -= Passo;
        fonte.setPointSizeF(tamanho);
    }
    // Hinting may leave room for a larger size than the guess.
    for (int i = 0; i < 400; ++i) {
        QFont maior = fonte;
        maior.setPointSizeF(tamanho + Passo);
        if (!Cabe(maior, colunas, largura, dispositivo, alturaLinhas, altura))
            break;
        tamanho += Passo;
        fonte = maior;
    }
    return fonte;
}
