#include "viewer/ImpressaoRelatorio.h"

#include "viewer/FonteColunas.h"

#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

bool ImprimeRelatorio(QPagedPaintDevice& dispositivo, const QList<TPagina>& paginas, int colunas,
                      const QFont& base, int primeira, int ultima) {
    const int total = static_cast<int>(paginas.size());
    if (primeira <= 0 && ultima <= 0) {
        primeira = 1;
        ultima = total;
    }
    primeira = std::clamp(primeira, 1, std::max(total, 1));
    ultima = std::clamp(ultima, primeira, std::max(total, 1));

    QPainter pintor;
    if (!pintor.begin(&dispositivo))
        return false;
    const QRectF area = pintor.viewport();
    int maisLinhas = 1;
    for (int i = primeira; i <= ultima && i <= total; ++i)
        maisLinhas = std::max(maisLinhas, static_cast<int>(paginas[i - 1].size()));
    const QFont fonte =
        FonteParaColunas(base, colunas, area.width(), &dispositivo, maisLinhas, area.height());
    pintor.setFont(fonte);
    const QFontMetricsF metricas(fonte, &dispositivo);
    pintor.setClipRect(area);

    for (int i = primeira; i <= ultima && i <= total; ++i) {
        if (i > primeira && !dispositivo.newPage()) {
            pintor.end();
            return false;
        }
        qreal y = metricas.ascent();
        for (const QString& linha : paginas[i - 1]) {
            pintor.drawText(QPointF(0, y), linha);
            y += metricas.lineSpacing();
        }
    }
    return pintor.end();
}

bool ExportaRelatorioPdf(const QString& arquivo, const QString& titulo,
                         const QList<TPagina>& paginas, int colunas, const QFont& base) {
    QPdfWriter pdf(arquivo);
    pdf.setTitle(titulo);
    pdf.setCreator(QStringLiteral(u"Visualizador de relatórios"));
    pdf.setResolution(600);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                  QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    return ImprimeRelatorio(pdf, paginas, colunas, base);
}
