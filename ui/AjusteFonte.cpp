#include "ui/AjusteFonte.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

// The smallest size still legible on the store's screens.
constexpr int MenorPixel = 8;

QString SemAcelerador(QString texto) {
    return texto.replace(QStringLiteral("&&"), QStringLiteral("\x01"))
        .remove(QLatin1Char('&'))
        .replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

int LarguraDoBotao(const QAbstractButton* botao, int texto) {
    const QStyle* estilo = botao->style();
    if (qobject_cast<const QCheckBox*>(botao))
        return texto + estilo->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, botao) +
               estilo->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, botao);
    int icone = botao->icon().isNull() ? 0 : botao->iconSize().width() + 4;
    return texto + icone + 2 * estilo->pixelMetric(QStyle::PM_ButtonMargin, nullptr, botao);
}

} // namespace

QString PastaDasFontesDoWine() {
    QString pasta = qEnvironmentVariable("CADOFERTAS_FONTES_WINE");
    return pasta.isEmpty() ? QStringLiteral("/usr/share/wine/fonts") : pasta;
}

void CarregaTahoma() {
    static bool carregada = false;
    if (carregada)
        return;
    carregada = true;
    if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
        return;
    for (const char* nome : {"tahoma.ttf", "tahomabd.ttf"}) {
        QString arquivo = PastaDasFontesDoWine() + QLatin1Char('/') + QLatin1String(nome);
        if (QFile::exists(arquivo))
            QFontDatabase::addApplicationFont(arquivo);
    }
}

int LarguraDaLegenda(const QWidget* controle) {
    QFontMetrics medidas(controle->font());
    if (auto* rotulo = qobject_cast<const QLabel*>(controle)) {
        if (rotulo->text().isEmpty() || rotulo->wordWrap())
            return 0;
        QMargins m = rotulo->contentsMargins();
        return medidas.horizontalAdvance(SemAcelerador(rotulo->text())) + m.left() + m.right() +
               2 * rotulo->frameWidth() + qMax(rotulo->indent(), 0);
    }
    if (auto* botao = qobject_cast<const QAbstractButton*>(controle)) {
        if (botao->text().isEmpty())
            return 0;
        return LarguraDoBotao(botao, medidas.horizontalAdvance(SemAcelerador(botao->text())));
    }
    return 0;
}

bool LegendasCabem(const QWidget* janela) {
    const auto controles = janela->findChildren<QWidget*>();
    for (const QWidget* controle : controles)
        if (LarguraDaLegenda(controle) > controle->width())
            return false;
    return true;
}

void AjustaAsLegendas(QWidget* janela) {
    while (!LegendasCabem(janela) && janela->font().pixelSize() > MenorPixel) {
        // A control given a font of its own (a bold caption) does not follow the window's.
        QList<QWidget*> proprios{janela};
        for (QWidget* controle : janela->findChildren<QWidget*>())
            if (controle->testAttribute(Qt::WA_SetFont))
                proprios << controle;
        for (QWidget* controle : proprios) {
            QFont fonte = controle->font();
            fonte.setPixelSize(qMax(fonte.pixelSize() - 1, MenorPixel));
            controle->setFont(fonte);
        }
    }
}
