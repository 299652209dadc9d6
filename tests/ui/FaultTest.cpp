// Faults of the server under the real window: the server killed in the middle of an import and
// before its first statement, a table missing, a trigger that refuses a row, a connection that
// the server drops (never reopened), and an identification connection that fails while the
// main one works. After each: what the user was shown, the window's state and the database.
#include "Conf.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "app/UDM.h"
#include "platform/Erro.h"
#include "ui/ErroPadrao.h"
#include "ui/Gauge.h"
#include "ui/Texto1252.h"
#include "ui/UImportarCadOferta.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const std::string Db = "loja_falhas";

// The client library's texts for a server that went away under a connection.
const QStringList LostTexts = {QStringLiteral("Lost connection to server during query"),
                               QStringLiteral("Server has gone away")};

std::string Barcode(int i) {
    std::string n = std::to_string(i);
    return "7891" + std::string(9 - n.size(), '0') + n;
}

// Brings the server back when a test that killed it ends, however it ends.
struct Revive {
    bool killed = false;
    void Kill() {
        TestServer::Shared().Kill();
        killed = true;
    }
    void Start() {
        if (killed)
            TestServer::Shared().Start();
        killed = false;
    }
    ~Revive() { Start(); }
};

} // namespace

class FaultTest : public QObject, private WindowFixture {
    Q_OBJECT

    TempDir dir;

    static TestServer& S() { return TestServer::Shared(); }
    static std::string One(const std::string& sql) { return S().Scalar(sql, Db); }

    void Configure(const std::string& user) { PointConfAtStore(Db, user); }
    // An offer file of the products from..to, every one of them in produto.
    void Prepare(int from, int to, const std::string& extra = {}) {
        std::string text = "BARRAS;DESCRICAO;PRECO;\r\n";
        for (int i = from; i <= to; ++i)
            text +=
                Barcode(i) + ";PRODUTO " + std::to_string(i) + ";" + std::to_string(i) + ",5;\r\n";
        text += extra;
        dialogs->FileChoices.push_back(QString::fromStdString(dir.Write("oferta.csv", text)));
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        w->txtCadOferta->setText(QStringLiteral("Ofertas"));
    }
    // The window as a failed run leaves it.
    void VerifyFailedState(int progress) {
        QCOMPARE(w->Parar, std::string("N"));
        QVERIFY(!w->cmdImportar->isEnabled());
        QCOMPARE(w->lblDescricao->text(), QStringLiteral("Importando os dados. Aguarde..."));
        QCOMPARE(w->Gauge1->Progress(), progress);
        QCOMPARE(ShownCount(QStringLiteral(u"Importação concluída com sucesso!!!")), 0);
        QCOMPARE(dialogs->Shown.back().Icon, TDialogos::Icone::Erro);
        QCOMPARE(dialogs->Shown.back().Caption, TituloDaAplicacao());
    }
    // The window after "Importar" was refused for want of the store's code: nothing started.
    void VerifyUnknownStoreRefusal() {
        QCOMPARE(dialogs->Shown.size(), size_t(2)); // the start-up failure, then the refusal
        const ShownMessage& box = dialogs->Shown.back();
        QCOMPARE(box.Text, QStringLiteral(u"Não foi possível identificar a loja, e sem ela os "
                                          u"dados não podem ser importados. Corrija as "
                                          u"configurações de conexão e abra o programa "
                                          u"novamente."));
        QCOMPARE(box.Caption, QStringLiteral(u"Atenção"));
        QCOMPARE(box.Icon, TDialogos::Icone::Informacao);
        QVERIFY(box.Owned);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->cmdImportar));
        QCOMPARE(w->Parar, std::string("S"));
        QVERIFY(w->cmdImportar->isEnabled());
        QCOMPARE(w->lblDescricao->text(), QString());
    }
    // The connections the server accepted for root over TCP (the main connection) since mark.
    int RootConnects(size_t mark) {
        int n = 0;
        for (auto& e : S().Since(mark))
            n += e.Command == "Connect" && e.Argument.rfind("root@127.0.0.1", 0) == 0;
        return n;
    }

private slots:
    void initTestCase() { CreateStore(Db, std::nullopt); }

    void init() {
        for (const char* t :
             {"produto", "barras", "cadofertas", "prodcadofertas", "identificacao_servidor"})
            S().Exec(std::string("TRUNCATE TABLE ") + t, Db);
        S().Exec("DROP TRIGGER IF EXISTS recusa", Db);
        IdentifyStore(Db, 12);
        std::string values;
        for (int i = 1; i <= 60; ++i)
            values += (i > 1 ? ", (" : "(") + std::to_string(i) + ", '" + Barcode(i) + "')";
        S().Exec("INSERT INTO produto (produto_id, barras) VALUES " + values, Db);
        Configure("leitor");
        dialogs = &ScriptedDialogs::Install();
        Open();
        QVERIFY(dialogs->Shown.empty());
        QCOMPARE(w->CodLoja, std::string("C"));
    }

    void cleanup() { CloseWindow(); }

    void cleanupTestCase() { RemoveConfBesideProgram(); }

    void theServerKilledInTheMiddleOfAnImport() {
        Revive revive;
        Prepare(1, 40);
        // Killed from within the window's message processing, once ten lines are done.
        QTimer killer;
        int killedAt = -1;
        connect(&killer, &QTimer::timeout, [&] {
            if (!revive.killed && w->Gauge1->Progress() >= 10) {
                killedAt = w->Gauge1->Progress();
                revive.Kill();
            }
        });
        killer.start(0);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        killer.stop();
        QVERIFY(revive.killed);
        // The client library's own text, with the full stop of the error display.
        QStringList expected;
        for (const QString& t : LostTexts)
            expected << t + ".";
        QVERIFY2(expected.contains(LastText()), qPrintable(LastText()));
        QVERIFY(killedAt >= 10 && killedAt < 40);
        VerifyFailedState(killedAt);

        // Everything committed before the server went stays: every line finished before it.
        revive.Start();
        std::string done;
        for (int i = 1; i <= killedAt; ++i)
            done += (i > 1 ? "," : "") + std::to_string(i);
        QCOMPARE(One("select count(*) from cadofertas"), std::string("1"));
        QCOMPARE(One("select group_concat(produto_id order by produto_id) from prodcadofertas"),
                 done);
        QCOMPARE(One("select group_concat(produto_id order by produto_id) from produto where "
                     "lojas_leram = 'C' and preco_pro is not null"),
                 done);
        QCOMPARE(One("select preco_pro from produto where produto_id = 10"),
                 std::string("10.5000"));
        QCOMPARE(One("select count(*) from produto where lojas_leram = ''"),
                 std::to_string(60 - killedAt));

        // The dropped connection is not reopened: the server is back, the next statement still
        // fails, and no new connection reaches the server.
        size_t mark = S().Mark();
        dm->QTemp.SetSQL("select 1");
        try {
            dm->QTemp.Open();
            QFAIL("the statement went through a connection that the server had dropped");
        } catch (const EErro& e) {
            QVERIFY2(LostTexts.contains(ParaQString(e.Message())), e.what());
        }
        QCOMPARE(RootConnects(mark), 0);
        QVERIFY(dm->Conexao.Connected());

        // The failed state's way out: the first Cancel stops, the second offers to close.
        dialogs->Answers.push_back(TDialogos::Resposta::Sim);
        QTest::mouseClick(w->cmdCancelar, Qt::LeftButton);
        QCOMPARE(LastText(), QStringLiteral("Deseja cancelar?"));
        QCOMPARE(w->Parar, std::string("S"));
        QTest::mouseClick(w->cmdCancelar, Qt::LeftButton); // answered No
        QCOMPARE(LastText(), QStringLiteral("Deseja fechar?"));
        QVERIFY(w->isVisible());
    }

    void theServerGoneBeforeTheFirstStatement() {
        Revive revive;
        Prepare(1, 5);
        revive.Kill();
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QStringList expected;
        for (const QString& t : LostTexts)
            expected << QStringLiteral("QTemp: ") + t + ".";
        QVERIFY2(expected.contains(LastText()), qPrintable(LastText()));
        VerifyFailedState(0);
        revive.Start();
        QCOMPARE(One("select count(*) from cadofertas"), std::string("0"));
        QCOMPARE(One("select count(*) from produto where lojas_leram <> ''"), std::string("0"));
    }

    void theServerDownFromTheStart() {
        Revive revive;
        w.reset();
        revive.Kill();
        dialogs->Shown.clear();
        Open();
        // The start-up box, and then the import's own attempt to connect.
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        QVERIFY(dialogs->Shown[0].Text.contains(QStringLiteral("Can't connect to server on '") +
                                                QString::fromStdString(S().Address())));
        // Without the identification the store is unknown: the import refuses to start.
        Prepare(1, 2);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        VerifyUnknownStoreRefusal();
        revive.Start();
        QCOMPARE(One("select count(*) from cadofertas"), std::string("0"));
    }

    void aMissingTable() {
        struct Restore {
            ~Restore() {
                S().Exec("DROP TABLE IF EXISTS prodcadofertas_fora", Db);
                for (auto [from, to] : {std::pair{"prodcadofertas_x", "prodcadofertas"},
                                        std::pair{"cadofertas_x", "cadofertas"}})
                    if (!S().Query(std::string("SHOW TABLES LIKE '") + from + "'", Db).empty())
                        S().Exec(std::string("RENAME TABLE ") + from + " TO " + to, Db);
            }
        } restore;
        S().Exec("RENAME TABLE prodcadofertas TO prodcadofertas_x", Db);
        Prepare(1, 3);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        // Opened (the link lookup): the server's text alone.
        QCOMPARE(LastText(), QStringLiteral("Table 'loja_falhas.prodcadofertas' doesn't exist."));
        VerifyFailedState(0);
        QCOMPARE(One("select count(*) from cadofertas"), std::string("1"));
        QCOMPARE(One("select count(*) from produto where lojas_leram <> ''"), std::string("0"));

        // The booklet's own table: executed, so the handle's name comes first; nothing written.
        S().Exec("RENAME TABLE prodcadofertas_x TO prodcadofertas", Db);
        S().Exec("RENAME TABLE cadofertas TO cadofertas_x", Db);
        cleanup();
        dialogs = &ScriptedDialogs::Install();
        Open();
        Prepare(1, 3);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(LastText(),
                 QStringLiteral("QTemp: Table 'loja_falhas.cadofertas' doesn't exist."));
        VerifyFailedState(0);
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("0"));
    }

    void aTriggerThatRefusesOneRow() {
        S().Exec("CREATE TRIGGER recusa BEFORE INSERT ON prodcadofertas FOR EACH ROW "
                 "IF NEW.produto_id = 3 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = "
                 "'oferta recusada'; END IF",
                 Db);
        Prepare(1, 5);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(LastText(), QStringLiteral("QTemp: oferta recusada."));
        VerifyFailedState(2);
        QCOMPARE(One("select group_concat(produto_id order by produto_id) from prodcadofertas"),
                 std::string("1,2"));
        // The refused line's product update came after the refused link and never ran.
        QCOMPARE(One("select group_concat(produto_id order by produto_id) from produto where "
                     "lojas_leram = 'C'"),
                 std::string("1,2"));
    }

    void aConnectionTheServerDropsIsNotReopened() {
        Prepare(1, 2);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(LastText(), QStringLiteral(u"Importação concluída com sucesso!!!"));
        // The server drops the main connection between two imports.
        const std::string id = One("select id from information_schema.processlist where user = "
                                   "'root' and host like '127.0.0.1:%'");
        QVERIFY(!id.empty());
        S().Exec("KILL CONNECTION " + id);
        size_t mark = S().Mark();
        dialogs->Shown.clear();
        Prepare(3, 4);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        // The server's farewell or the client library's text for the lost connection.
        QStringList expected = {QStringLiteral("QTemp: Connection was killed.")};
        for (const QString& t : LostTexts)
            expected << QStringLiteral("QTemp: ") + t + ".";
        QVERIFY2(expected.contains(LastText()), qPrintable(LastText()));
        VerifyFailedState(0);
        QCOMPARE(RootConnects(mark), 0);
        QCOMPARE(One("select count(*) from cadofertas"), std::string("1"));
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("2"));
        dm->QProd.SetSQL("select 1");
        QVERIFY_THROWS_EXCEPTION(EErro, dm->QProd.Open());
        QCOMPARE(RootConnects(mark), 0);
    }

    void theIdentificationFailsWhileTheMainConnectionWorks_data() {
        QTest::addColumn<QString>("user");
        QTest::addColumn<bool>("emptyTable");
        QTest::addColumn<QString>("reason");
        QTest::newRow("refused user")
            << QStringLiteral("ninguem") << false
            << QStringLiteral("Access denied for user 'ninguem'@'127.0.0.1' (using password: YES)");
        QTest::newRow("no row") << QStringLiteral("leitor") << true
                                << QStringLiteral(u"Não foi possível encontrar a identificação do "
                                                  u"servidor.");
    }

    void theIdentificationFailsWhileTheMainConnectionWorks() {
        QFETCH(QString, user);
        QFETCH(bool, emptyTable);
        QFETCH(QString, reason);
        w.reset();
        Configure(user.toStdString());
        if (emptyTable)
            S().Exec("TRUNCATE TABLE identificacao_servidor", Db);
        dialogs->Shown.clear();
        size_t mark = S().Mark();
        Open();
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        QCOMPARE(dialogs->Shown[0].Text,
                 QStringLiteral(u"Falha ao carregar dados de identificação do servidor.\r\n"
                                u"Motivo: ") +
                     reason);
        QCOMPARE(w->CodLoja, std::string());
        QVERIFY(!dm->Conexao.Connected()); // not tried at start
        QCOMPARE(RootConnects(mark), 0);
        // An empty store code would wipe the stamp of every product: nothing is sent at all,
        // whether by the mouse or by Alt+I.
        S().Exec("UPDATE produto SET lojas_leram = 'Z'", Db); // the stamps of earlier imports
        Prepare(1, 2);
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        VerifyUnknownStoreRefusal();
        dialogs->Shown.pop_back();
        w->txtCadOferta->setFocus();
        QTest::keyClick(w.get(), Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(dialogs->Shown.size(), size_t(2));
        VerifyUnknownStoreRefusal();
        QCOMPARE(RootConnects(mark), 0);
        QCOMPARE(One("select count(*) from cadofertas"), std::string("0"));
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("0"));
        QCOMPARE(One("select count(*) from produto where lojas_leram <> 'Z'"), std::string("0"));
        Configure("leitor");
    }
};

CADOFERTAS_QTEST_MAIN(FaultTest)
#include "FaultTest.moc"
