// The window and importa-caderno on the same store and the same file: the server must get the
// same statements in the same order (the booklet's registration time aside), and the two
// reports must be the same (their printing time aside).
#include "Conf.h"
#include "LojaOfertas.h"
#include "Process.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "connection/ConnectionInfo.h"
#include "ui/DatePicker.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const std::string Db = "loja_mesma";

// Statements, one a line, for a readable difference.
QString Texto(const std::vector<std::string>& statements) {
    std::string all;
    for (const auto& s : statements)
        all += WithoutRegistration(s) + "\n";
    return QString::fromLatin1(all.c_str());
}

} // namespace

class ImportaJanelaTest : public QObject, private WindowFixture {
    Q_OBJECT

    TempDir dir;

    std::vector<std::string> ByTheWindow(const std::string& file, const QString& name, bool promo) {
        const size_t mark = TestServer::Shared().Mark();
        dialogs = &ScriptedDialogs::Install();
        Open();
        dialogs->FileChoices.push_back(QString::fromStdString(file));
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        w->txtCadOferta->setText(name);
        w->dtInicio->SetDate(QDate(2026, 12, 10));
        w->dtFim->SetDate(QDate(2026, 12, 24));
        w->checkPromocao->setChecked(promo);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        const QString last = dialogs->Shown.empty() ? QString() : dialogs->Shown.back().Text;
        CloseWindow();
        [&] { QCOMPARE(last, QStringLiteral(u"Importação concluída com sucesso!!!")); }();
        return ClientStatementsSince(mark);
    }

    std::vector<std::string> ByTheCommand(const std::string& file, const QString& name, bool promo,
                                          const std::string& report) {
        const size_t mark = TestServer::Shared().Mark();
        std::vector<std::string> args = {IMPORTA_CADERNO, file,
                                         "--nome",        name.toStdString(),
                                         "--inicio",      "10/12/2026",
                                         "--fim",         "2026-12-24",
                                         "--conf",        TConnectionInfo::CaminhoArquivo(),
                                         "--relatorio",   report};
        if (!promo)
            args.push_back("--sem-preco-promocional");
        const ProgramRun r = RunProgram(args);
        [&] { QVERIFY2(r.Code == 0, r.Err.c_str()); }();
        return ClientStatementsSince(mark);
    }

private slots:
    void initTestCase() {
        CreateStore(Db, 10);
        PointConfAtStore(Db);
    }
    void cleanupTestCase() { RemoveConfBesideProgram(); }

    void theSameStatementsAndTheSameReport_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("promo");
        const QStringList mixed = {"7891000100103;ARROZ 5KG;19,90;", "789;PAO;9,99;",
                                   "7891000300312;OLEO;5,49;", "7891999999999;NAO TEM;1,00;",
                                   "7891000100103;ARROZ DE NOVO;18,90;"};
        QTest::newRow("promotional price") << QStringLiteral("Ofertas da Semana") << mixed << true;
        QTest::newRow("dates only") << QStringLiteral("Ofertas da Semana") << mixed << false;
        QTest::newRow("hostile") << QStringLiteral(u"Natal \"2026\" \\ ' ; -- $(x) ção")
                                 << QStringList{"78\"9\\1';NAO \"TEM\";1;", "789;P\\A\"O;2;",
                                                " 7891000400401;CAFE;3;"}
                                 << true;
    }

    void theSameStatementsAndTheSameReport() {
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        QFETCH(bool, promo);
        std::vector<std::string> bytes;
        for (const QString& l : lines)
            bytes.push_back(l.toStdString());
        const std::string file = dir.Write("caderno \"x\" $(y).csv", OfferFile(bytes));
        fs::remove("Relatorio.txt");

        RefillOfferStore(Db);
        const std::vector<std::string> window = ByTheWindow(file, name, promo);
        const std::string windowTables = DumpOfferTables(Db);
        const std::string windowReport = ReadAll("Relatorio.txt");

        RefillOfferStore(Db);
        const std::string report = (dir.Path() / "Relatorio.txt").string();
        const std::vector<std::string> command = ByTheCommand(file, name, promo, report);

        QCOMPARE(Texto(command), Texto(window));
        QVERIFY(window.size() > static_cast<size_t>(lines.size())); // the lookups at least
        QCOMPARE(WithoutReportTime(ReadAll(report)), WithoutReportTime(windowReport));
        QCOMPARE(QString::fromLatin1(WithoutRegistration(DumpOfferTables(Db)).c_str()),
                 QString::fromLatin1(WithoutRegistration(windowTables).c_str()));
    }
};

CADOFERTAS_QTEST_MAIN(ImportaJanelaTest)
#include "ImportaJanelaTest.moc"
