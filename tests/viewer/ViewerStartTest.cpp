// The report viewer's PDF, printing and start: the file and print dialogs, the messages of a
// bad start. Real files, the real window.
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "ViewerFixtures.h"

#include <QDir>

class ViewerStartTest : public QObject {
    Q_OBJECT

    ScriptedDialogs* dialogs = nullptr;

private slots:
    void init() { dialogs = &ScriptedDialogs::Install(); }
    void cleanup() { ScriptedDialogs::Uninstall(); }

    // ---- PDF ---------------------------------------------------------------------------

    void pdfHasOneSheetForEveryPage() {
        TempDir dir;
        auto w = OpenShown(SaveImportReport(dir, 250).Path);
        QCOMPARE(w->TotalPaginas(), 5);
        const std::string pdf = (dir.Path() / "relatorio.pdf").string();
        QVERIFY(w->ExportaPdf(QString::fromStdString(pdf)));
        QVERIFY(dialogs->Shown.empty());
        const std::string bytes = ReadAll(pdf);
        QVERIFY(bytes.rfind("%PDF-", 0) == 0);
        QCOMPARE(PdfPageCount(bytes), 5);

        // A page range, as the print dialog gives it.
        const QString part = QString::fromStdString((dir.Path() / "parte.pdf").string());
        {
            QPdfWriter writer(part);
            QVERIFY(ImprimeRelatorio(writer, w->Paginas(), 132, FonteDoRelatorio(), 2, 4));
        }
        QCOMPARE(PdfPageCount(ReadAll(part.toStdString())), 3);
    }

    void pdfThatCannotBeWrittenIsToldAbout() {
        TempDir dir;
        auto w = OpenShown(SaveImportReport(dir, 10).Path);
        const QString target =
            QString::fromStdString((dir.Path() / "nao-existe" / "relatorio.pdf").string());
        QVERIFY(!w->ExportaPdf(target));
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        QCOMPARE(dialogs->Shown[0].Text,
                 QStringLiteral(u"Não foi possível gravar o PDF \"%1\".").arg(target));
        QCOMPARE(dialogs->Shown[0].Icon, TDialogos::Icone::Erro);
    }

    // The toolbar's export and print go through the dialogs: the PDF beside the report is
    // proposed, ".pdf" is added to a name without it, and a cancel writes nothing.
    void exportAndPrintAskThroughTheDialogs() {
        TempDir dir;
        auto w = OpenShown(SaveImportReport(dir, 250).Path);
        // The viewer names files the way Qt does, with "/" on every system.
        const QString base =
            QDir::fromNativeSeparators(QString::fromStdString(dir.Path().string()));
        dialogs->SaveChoices = {base + "/saida", std::nullopt};
        w->acExportarPdf->trigger();
        QCOMPARE(dialogs->SaveDialogs,
                 QStringList{QStringLiteral(u"Exportar o relatório para PDF|") + base +
                             QStringLiteral(u"/Relatorio.pdf|Documentos PDF (*.pdf)")});
        QCOMPARE(PdfPageCount(ReadAll((dir.Path() / "saida.pdf").string())), 5);
        w->acExportarPdf->trigger();
        QCOMPARE(dialogs->SaveDialogs.size(), 2);

        dialogs->PrintToFiles = {base + "/impresso.pdf", std::nullopt};
        w->acImprimir->trigger();
        QCOMPARE(dialogs->PrintDialogs, QStringList{QStringLiteral(u"Imprimir o relatório|5")});
        QCOMPARE(PdfPageCount(ReadAll((dir.Path() / "impresso.pdf").string())), 5);
        w->acImprimir->trigger();
        QCOMPARE(dialogs->PrintDialogs.size(), 2);
        QVERIFY(dialogs->Shown.empty());
        QCOMPARE(std::distance(std::filesystem::directory_iterator(dir.Path()),
                               std::filesystem::directory_iterator()),
                 3); // the report and the two PDFs
    }

    // ---- the start -------------------------------------------------------------------

    void startsOnTheReportAsTheImportStartsIt() {
        TempDir dir;
        auto report = SaveImportReport(dir, 70, "Relatorio de hoje.txt");
        auto inicio = IniciaVisualizador({report.Path, "132"});
        QVERIFY(inicio.Janela);
        QVERIFY(dialogs->Shown.empty());
        QCOMPARE(inicio.Janela->Colunas(), 132);
        QCOMPARE(inicio.Janela->TotalPaginas(), 2);

        // The import does not quote the name: it arrives in pieces.
        std::string path = report.Path;
        auto first = path.find(" de hoje");
        auto split = IniciaVisualizador({path.substr(0, first), "de", "hoje.txt", "80"});
        QVERIFY(split.Janela);
        QCOMPARE(split.Janela->Colunas(), 80);
        QCOMPARE(split.Janela->Paginas(), inicio.Janela->Paginas());

        auto alone = IniciaVisualizador({report.Path});
        QVERIFY(alone.Janela);
        QCOMPARE(alone.Janela->Colunas(), 132);
        QVERIFY(dialogs->Shown.empty());
    }

    void missingOrUnreadableReportIsToldAbout() {
        TempDir dir;
        const std::string missing = (dir.Path() / "Relatorio.txt").string();
        auto inicio = IniciaVisualizador({missing, "132"});
        QVERIFY(!inicio.Janela);
        QCOMPARE(inicio.CodigoSaida, SaidaRelatorioIlegivel);
        QVERIFY(inicio.CodigoSaida != 0);
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        const ShownMessage& shown = dialogs->Shown[0];
        QCOMPARE(shown.Text,
                 QStringLiteral(u"Não foi possível abrir o relatório \"%1\": o arquivo não existe")
                     .arg(QString::fromStdString(missing)));
        QCOMPARE(shown.Caption, QStringLiteral(u"Visualizador de relatórios"));
        QCOMPARE(shown.Icon, TDialogos::Icone::Erro);
        QVERIFY(!shown.Owned);

        auto folder = IniciaVisualizador({dir.Path().string(), "132"});
        QVERIFY(!folder.Janela);
        QCOMPARE(folder.CodigoSaida, SaidaRelatorioIlegivel);
        QCOMPARE(dialogs->Shown.size(), size_t(2));
        QVERIFY(dialogs->Shown[1].Text.startsWith(
            QStringLiteral(u"Não foi possível abrir o relatório \"%1\": ")
                .arg(QString::fromStdString(dir.Path().string()))));
        SKIP_ON_WINDOWS("Windows refuses to open a folder as access denied, not as a folder");
        QVERIFY(dialogs->Shown[1].Text.contains(QStringLiteral(u"pasta")));
    }

    void badArgumentsAreToldAbout_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none") << QStringList() << QStringLiteral(u"Informe o arquivo do relatório");
        QTest::newRow("letters") << QStringList{"r.txt", "abc"}
                                 << QStringLiteral(u"Número de colunas inválido: \"abc\"");
        QTest::newRow("zero") << QStringList{"r.txt", "0"}
                              << QStringLiteral(u"Número de colunas inválido: \"0\"");
        QTest::newRow("negative") << QStringList{"r.txt", "-132"}
                                  << QStringLiteral(u"Número de colunas inválido: \"-132\"");
        QTest::newRow("too many") << QStringList{"r.txt", "1001"}
                                  << QStringLiteral(u"Número de colunas inválido: \"1001\"");
        QTest::newRow("empty") << QStringList{"r.txt", ""}
                               << QStringLiteral(u"Número de colunas inválido: \"\"");
        QTest::newRow("no name") << QStringList{"", "132"}
                                 << QStringLiteral(u"Informe o arquivo do relatório");
    }

    void badArgumentsAreToldAbout() {
        QFETCH(QStringList, args);
        QFETCH(QString, expected);
        std::vector<std::string> argv;
        for (const QString& a : args)
            argv.push_back(a.toStdString());
        auto inicio = IniciaVisualizador(argv);
        QVERIFY(!inicio.Janela);
        QCOMPARE(inicio.CodigoSaida, SaidaArgumentosInvalidos);
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        QVERIFY2(dialogs->Shown[0].Text.startsWith(expected), qPrintable(dialogs->Shown[0].Text));
        QVERIFY(dialogs->Shown[0].Text.contains(QStringLiteral("Uso: visualizador")));
        QCOMPARE(dialogs->Shown[0].Icon, TDialogos::Icone::Erro);
    }
};

CADOFERTAS_QTEST_MAIN(ViewerStartTest)
#include "ViewerStartTest.moc"
