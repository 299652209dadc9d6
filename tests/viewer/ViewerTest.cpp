// The report viewer on reports made by our own report builder: pages, the font fitted to the
// columns, Windows-1252 text, navigation and find. Real files, the real window.
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "ViewerFixtures.h"

class ViewerTest : public QObject {
    Q_OBJECT

    ScriptedDialogs* dialogs = nullptr;

private slots:
    void init() { dialogs = &ScriptedDialogs::Install(); }
    void cleanup() { ScriptedDialogs::Uninstall(); }

    // ---- pages -----------------------------------------------------------------------

    void pagesOfTheImportReportAreThePagesOnPaper() {
        TempDir dir;
        auto report = SaveImportReport(dir, 130);
        auto w = OpenShown(report.Path);
        const auto expected = PagesOf(report.Entries);
        QCOMPARE(expected.size(), 3); // 62 + 60 + 8 products
        QCOMPARE(w->TotalPaginas(), 3);
        for (int p = 0; p < 3; ++p) {
            QCOMPARE(w->Paginas()[p], expected[p]);
            w->IrParaPagina(p + 1);
            QCOMPARE(w->txtPagina->toPlainText(), PageText(expected[p]));
        }
        // Every page opens with its date/time-and-page line and the column titles.
        for (int p = 1; p < 3; ++p) {
            QVERIFY(w->Paginas()[p][0].startsWith(QStringLiteral("  Data/Hora 07/03/2026 09:05")));
            QVERIFY(w->Paginas()[p][0].endsWith(QStringLiteral("Pagina %1").arg(p + 1)));
        }
        QVERIFY(w->Paginas()[0].join(u'\n').contains(QStringLiteral(u"AÇÚCAR CRISTAL 62 ")));
        QVERIFY(!w->Paginas()[0].join(u'\n').contains(QStringLiteral(u"CRISTAL 63 ")));
        QVERIFY(w->Paginas()[1][5].contains(QStringLiteral(u"AÇÚCAR CRISTAL 63 ")));
        QVERIFY(
            w->Paginas()[2].last().contains(QStringLiteral(u"Total Produtos não importados: 130")));
        QCOMPARE(w->windowTitle(), QStringLiteral(u"Relatorio.txt - Visualizador de relatórios"));
    }

    void shortPagesFromFormFeedsWithoutTheEmptyLastPage() {
        // Without the date line, three lines a page: four lines, a form feed, two lines, a form
        // feed, two lines and a last form feed that leaves nothing after it.
        TImpres r(TFormatSettings::BrasilPadrao(), FixedClock);
        r.ImprimeDataHora(false);
        r.LinhasPorPagina(3);
        for (int i = 1; i <= 8; ++i)
            r.AddLinha("linha " + std::to_string(i), 1, -1);
        r.MontaPaginas();
        TempDir dir;
        std::string path = (dir.Path() / "curto.txt").string();
        SalvaLinhas(r.Corpo(), path);
        auto pages = DividePaginas(ReadAll(path));
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages[0], (QStringList{"linha 1", "linha 2", "linha 3", "linha 4"}));
        QCOMPARE(pages[1], (QStringList{"linha 5", "linha 6"}));
        QCOMPARE(pages[2], (QStringList{"linha 7", "linha 8"}));
    }

    void formFeedsInsideLinesTabsAndBareLineEnds() {
        auto pages = DividePaginas("um\fdois\r\ntr\tes\nquatro\f\r\n\f\r\ncinco\r\n");
        QCOMPARE(pages.size(), 4);
        QCOMPARE(pages[0], QStringList{"um"});
        QCOMPARE(pages[1], (QStringList{"dois", "tr      es", "quatro"}));
        QCOMPARE(pages[2], QStringList());
        QCOMPARE(pages[3], QStringList{"cinco"});

        auto empty = DividePaginas("");
        QCOMPARE(empty.size(), 1);
        QVERIFY(empty[0].isEmpty());
    }

    void windows1252Text() {
        TImpres r(TFormatSettings::BrasilPadrao(), FixedClock);
        r.ImprimeDataHora(false);
        std::string high, special;
        for (int b = 0xA0; b <= 0xFF; ++b)
            high += static_cast<char>(b);
        for (int b :
             {0x80, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8E, 0x91,
              0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9E, 0x9F})
            special += static_cast<char>(b);
        r.AddLinha(high, 1, -1);
        r.AddLinha(special, 1, -1);
        r.MontaPaginas();
        TempDir dir;
        std::string path = (dir.Path() / "acentos.txt").string();
        SalvaLinhas(r.Corpo(), path);

        auto w = OpenShown(path);
        QString expectedHigh;
        for (char16_t c = 0xA0; c <= 0xFF; ++c)
            expectedHigh += QChar(c);
        const QString expectedSpecial = QStringLiteral(u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ");
        QCOMPARE(w->Paginas()[0], (QStringList{expectedHigh, expectedSpecial}));
        // The text box's own lines (its plain text would turn the no-break space into a blank).
        QCOMPARE(w->txtPagina->document()->blockCount(), 2);
        QCOMPARE(w->txtPagina->document()->findBlockByNumber(0).text(), expectedHigh);
        QCOMPARE(w->txtPagina->document()->findBlockByNumber(1).text(), expectedSpecial);
    }

    void anyBytesAtAllOpenWithoutControlCharacters() {
        std::string bytes;
        for (int round = 0; round < 20; ++round)
            for (int b = 0; b < 256; ++b)
                bytes += static_cast<char>((b * 7 + round) & 0xFF);
        TempDir dir;
        auto w = OpenShown(dir.Write("lixo.bin", bytes));
        QVERIFY(w->TotalPaginas() >= 2);
        for (const TPagina& page : w->Paginas())
            for (const QString& line : page)
                for (QChar c : line)
                    QVERIFY2(c.unicode() >= 0x20 && c.unicode() != 0x7F,
                             qPrintable(QString::number(c.unicode(), 16)));
    }

    // ---- the font fitted to the columns ---------------------------------------------

    void columnsFillTheWidth_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<QSize>("size");
        QTest::newRow("132 in 1280") << 132 << QSize(1280, 800);
        QTest::newRow("132 in 800") << 132 << QSize(800, 600);
        QTest::newRow("132 in 1920") << 132 << QSize(1920, 1080);
        QTest::newRow("80 in 1024") << 80 << QSize(1024, 700);
        QTest::newRow("40 in 640") << 40 << QSize(640, 480);
    }

    void columnsFillTheWidth() {
        QFETCH(int, columns);
        QFETCH(QSize, size);
        TFVisualizador w(columns);
        w.MostraPaginas(FullWidthPages(columns, 90), QStringLiteral("largo.txt"));
        w.resize(size);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.Colunas(), columns);

        const QFont font = w.txtPagina->font();
        QVERIFY(QFontInfo(font).fixedPitch());
        const QFontMetricsF metrics(font, w.txtPagina->viewport());
        QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));
        const qreal room =
            w.txtPagina->viewport()->width() - 2 * w.txtPagina->document()->documentMargin();
        const qreal widest = metrics.horizontalAdvance(w.Paginas()[0][0]);
        QVERIFY2(widest <= room, qPrintable(QStringLiteral("%1 > %2").arg(widest).arg(room)));
        // As large as it can be: the font a pixel larger would not fit beside the caret.
        QFont larger = font;
        larger.setPixelSize(QFontInfo(font).pixelSize() + 1);
        QVERIFY(QFontMetricsF(larger, w.txtPagina->viewport())
                    .horizontalAdvance(QString(columns, u'W')) > room - w.txtPagina->cursorWidth());
        // The page's full-width lines need no sideways scrolling.
        QTRY_COMPARE(w.txtPagina->horizontalScrollBar()->maximum(), 0);
        QVERIFY(w.txtPagina->verticalScrollBar()->maximum() > 0); // 90 lines do not fit
    }

    void fontFollowsTheWindowWidth() {
        TFVisualizador w(132);
        w.MostraPaginas(FullWidthPages(132, 10), QString());
        w.resize(1600, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const qreal wide = w.txtPagina->font().pointSizeF();
        w.resize(700, 900);
        QTRY_VERIFY(w.txtPagina->font().pointSizeF() < wide);
        const QFontMetricsF metrics(w.txtPagina->font(), w.txtPagina->viewport());
        QVERIFY(metrics.horizontalAdvance(QString(132, u'W')) <=
                w.txtPagina->viewport()->width() - 2 * w.txtPagina->document()->documentMargin());
        QTRY_COMPARE(w.txtPagina->horizontalScrollBar()->maximum(), 0);
    }

    // ---- navigation ----------------------------------------------------------------

    void pageKeysAndButtons() {
        TempDir dir;
        auto w = OpenShown(SaveImportReport(dir, 130).Path);
        auto* text = w->txtPagina;
        text->setFocus();
        QCOMPARE(w->lblPagina->text(), QStringLiteral(u"Página 1 de 3"));
        QVERIFY(!w->acAnterior->isEnabled());

        QTest::keyClick(text, Qt::Key_PageDown);
        QCOMPARE(w->PaginaAtual(), 2);
        QCOMPARE(w->lblPagina->text(), QStringLiteral(u"Página 2 de 3"));
        QVERIFY(text->toPlainText().startsWith(w->Paginas()[1][0]));
        QTest::keyClick(text, Qt::Key_PageDown);
        QTest::keyClick(text, Qt::Key_PageDown);
        QCOMPARE(w->PaginaAtual(), 3);
        QVERIFY(!w->acProxima->isEnabled());
        QTest::keyClick(text, Qt::Key_Home);
        QCOMPARE(w->PaginaAtual(), 1);
        QTest::keyClick(text, Qt::Key_End);
        QCOMPARE(w->lblPagina->text(), QStringLiteral(u"Página 3 de 3"));
        QTest::keyClick(text, Qt::Key_PageUp);
        QCOMPARE(w->PaginaAtual(), 2);

        auto* bar = w->findChild<QToolBar*>(QStringLiteral("barraPaginas"));
        QVERIFY(bar);
        QTest::mouseClick(bar->widgetForAction(w->acPrimeira), Qt::LeftButton);
        QCOMPARE(w->PaginaAtual(), 1);
        QTest::mouseClick(bar->widgetForAction(w->acUltima), Qt::LeftButton);
        QCOMPARE(w->PaginaAtual(), 3);
        QTest::mouseClick(bar->widgetForAction(w->acAnterior), Qt::LeftButton);
        QCOMPARE(w->lblPagina->text(), QStringLiteral(u"Página 2 de 3"));
    }

    // ---- find --------------------------------------------------------------------------

    void findGoesThroughThePagesAndRoundAgain() {
        TempDir dir;
        auto w = OpenShown(SaveImportReport(dir, 130).Path);
        QVERIFY(w->Localiza(QStringLiteral("cristal 100")));
        QCOMPARE(w->PaginaAtual(), 2);
        QCOMPARE(w->txtPagina->textCursor().selectedText(), QStringLiteral("CRISTAL 100"));

        QVERIFY(w->Localiza(QStringLiteral(u"não importados")));
        QCOMPARE(w->PaginaAtual(), 3);
        QVERIFY(w->Localiza(QStringLiteral("Pagina 3"), true));
        QCOMPARE(w->PaginaAtual(), 3);
        QVERIFY(w->Localiza(QStringLiteral("CRISTAL 62 "), true));
        QCOMPARE(w->PaginaAtual(), 1);

        // The only other match is behind: the search goes round and says so.
        QVERIFY(w->Localiza(QStringLiteral("cristal 100")));
        QVERIFY(w->Localiza(QStringLiteral("cristal 100")));
        QCOMPARE(w->PaginaAtual(), 2);
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral(u"recomeçou")));

        w->checkMaiusculas->setChecked(true);
        QVERIFY(!w->Localiza(QStringLiteral("cristal 100")));
        QCOMPARE(w->PaginaAtual(), 2);
        QVERIFY(w->statusBar()->currentMessage().contains(QStringLiteral(u"não encontrado")));
    }

    void ctrlFOpensTheFindBar() {
        TempDir dir;
        auto w = OpenShown(SaveImportReport(dir, 130).Path);
        QVERIFY(!w->pnlLocalizar->isVisible());
        QTest::keyClick(w->txtPagina, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w->pnlLocalizar->isVisible());
        QTRY_VERIFY(w->txtLocalizar->hasFocus());
        QTest::keyClicks(w->txtLocalizar, QStringLiteral("Total Produtos"));
        QTest::keyClick(w->txtLocalizar, Qt::Key_Return);
        QCOMPARE(w->PaginaAtual(), 3);
        QCOMPARE(w->txtPagina->textCursor().selectedText(), QStringLiteral("Total Produtos"));
        QVERIFY(!w->txtPagina->extraSelections().isEmpty());
        QTest::keyClick(w->txtLocalizar, Qt::Key_Escape);
        QVERIFY(!w->pnlLocalizar->isVisible());
    }
};

CADOFERTAS_QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
