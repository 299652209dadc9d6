#pragma once
// What the viewer's tests share: reports saved by our own report builder, the viewer opened
// and shown on one, and the pages and PDFs it gives.
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "report/ClassImpressao.h"
#include "viewer/FonteColunas.h"
#include "viewer/ImpressaoRelatorio.h"
#include "viewer/PaginasRelatorio.h"
#include "viewer/Visualizador.h"

#include <QAction>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>

#include <filesystem>
#include <string>
#include <vector>

#include "viewer/UVisualizador.h"
#include <memory>

inline TDataHora FixedClock() {
    return {{2026, 3, 7}, 9, 5, 42};
}

const std::string Title = "R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S";
const std::string Legend =
    "        BARRAS    DESCRICAO                                               PRECO";

// A product line as the import writes it; the description has Latin-1 letters only, so that
// the expected text below can be worked out with QString::fromLatin1.
inline std::string ProductLine(int i) {
    std::string description = "A\xC7\xDA"
                              "CAR CRISTAL " +
                              std::to_string(i);
    description.resize(50, ' ');
    return " " + std::to_string(7891000000000LL + i) + "    " + description + "      " +
           std::to_string(i % 100) + ",99";
}

struct SavedReport {
    std::string Path;
    TLinhas Entries; // the paginated report, entry by entry
};

// The import's report of the products not found, paginated and saved as the import saves it.
inline SavedReport SaveImportReport(const TempDir& dir, int products,
                                    const std::string& name = "Relatorio.txt") {
    TImpres r(TFormatSettings::BrasilPadrao(), FixedClock);
    r.RepeteTitulo(true);
    r.AddTitulo(TImpres::Centraliza(Title, 127, " "), 3, -1);
    r.AddTitulo(TImpres::CompletaDireita("-", 127, "-"), 3, -1);
    r.AddTitulo(Legend, 3, -1);
    r.AddTitulo(TImpres::CompletaDireita("-", 127, "-"), 3, -1);
    for (int i = 1; i <= products; ++i)
        r.AddLinha(ProductLine(i), 3, -1);
    r.AddSeparador("-", 127);
    r.AddLinha("Total Produtos n\xE3o importados: " + std::to_string(products), 3, -1);
    r.MontaPaginas();
    std::string path = (dir.Path() / name).string();
    SalvaLinhas(r.Corpo(), path);
    return {path, r.Corpo()};
}

// The pages the entries make on paper: a form-feed entry starts a page, and the CR LF entry
// is two line ends.
inline QList<QStringList> PagesOf(const TLinhas& entries) {
    QList<QStringList> pages(1);
    for (const std::string& e : entries) {
        if (e == "\f")
            pages.append(QStringList());
        else if (e == "\r\n")
            pages.back() << QString() << QString();
        else
            pages.back() << QString::fromLatin1(e.data(), static_cast<qsizetype>(e.size()));
    }
    return pages;
}

// Lines of exactly that many columns, to fill the width.
inline QList<TPagina> FullWidthPages(int columns, int lines) {
    TPagina page;
    for (int i = 0; i < lines; ++i)
        page << QString(columns, QChar(u'0' + i % 10));
    return {page};
}

// The page objects of a PDF file.
inline int PdfPageCount(const std::string& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(
        QString::fromLatin1(pdf.data(), static_cast<qsizetype>(pdf.size())).count(page));
}

inline std::unique_ptr<TFVisualizador> OpenShown(const std::string& path, int columns = 132,
                                                 QSize size = QSize(1280, 800)) {
    auto w = std::make_unique<TFVisualizador>(columns);
    w->Abre(path);
    w->resize(size);
    w->show();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the window did not become active");
    return w;
}

inline QString PageText(const QStringList& lines) {
    return lines.join(u'\n');
}
