#include "ui/AjusteFonte.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
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

namespace {

// The window and the controls given a font of their own (a bold caption), which do not follow
// the window's.
QList<QWidget*> FontesProprias(QWidget* janela) {
    QList<QWidget*> proprios{janela};
    for (QWidget* controle : janela->findChildren<QWidget*>())
        if (controle->testAttribute(Qt::WA_SetFont))
            proprios << controle;
    return proprios;
}

template <typename Muda> void MudaAsFontes(QWidget* janela, Muda muda) {
    for (QWidget* controle : FontesProprias(janela)) {
        QFont fonte = controle->font();
        muda(fonte);
        controle->setFont(fonte);
    }
}

} // namespace

void AjustaAsLegendas(QWidget* janela) {
    if (LegendasCabem(janela))
        return;
    // The layout was measured with Windows' hinted Tahoma, whose advances are a little narrower
    // than those of a Tahoma drawn by FreeType (Linux's, and Wine's on Windows): a fifth of a
    // pixel less per character makes the captions fit again, at the size the layout was drawn
    // for.
    MudaAsFontes(janela,
                 [](QFont& fonte) { fonte.setLetterSpacing(QFont::AbsoluteSpacing, -0.2); });
    // A label takes the width its caption needs, as the form's auto-sized labels did (Wine's
    // bold Tahoma is a few pixels wider than Windows').
    for (QLabel* rotulo : janela->findChildren<QLabel*>())
        if (rotulo->alignment() & Qt::AlignLeft && LarguraDaLegenda(rotulo) > rotulo->width())
            rotulo->resize(LarguraDaLegenda(rotulo), rotulo->height());
    // Tahoma itself stays at the size the layout was drawn for: Wine's draws 9 and 10 pixels from
    // bitmaps that lose columns, and what it lacks at 11 (two pixels on "&Importar") comes out
    // of the button's margin. Only a stand-in font is made smaller.
    if (QFontInfo(janela->font()).family() == QLatin1String("Tahoma"))
        return;
    while (!LegendasCabem(janela) && janela->font().pixelSize() > MenorPixel)
        MudaAsFontes(janela, [](QFont& fonte) {
            fonte.setPixelSize(qMax(fonte.pixelSize() - 1, MenorPixel));
        });
}
