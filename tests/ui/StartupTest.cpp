// Start-up: connection.conf, the identification and the main connection, the start-up message
// box, and the default error display, with the real window and a real server.
#include "Conf.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "StoreFixture.h"
#include "TestServer.h"
#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "platform/Erro.h"
#include "ui/ConfiguracaoRegional.h"
#include "ui/DatePicker.h"
#include "ui/ErroPadrao.h"
#include "ui/Texto1252.h"
#include "ui/UImportarCadOferta.h"

#include <QProcess>
#include <QPushButton>

#include <memory>

class StartupTest : public QObject {
    Q_OBJECT

    ScriptedDialogs* dialogs = nullptr;
    std::unique_ptr<TDM> dm;

    void Configure(const std::string& host, const std::string& user, const std::string& password) {
        ConfValues v;
        v.DatabaseIP = host;
        v.Databasename = "loja_inicio";
        v.Usuario = user;
        v.Senha = password;
        WriteConfBesideProgram(v);
    }

    std::unique_ptr<TFImportarCadOfertas> Create() {
        auto w = std::make_unique<TFImportarCadOfertas>(dm->ParaJanela());
        return w;
    }

    static QString Q(const std::string& s) { return ParaQString(s); }

private slots:
    void initTestCase() {
        CreateStore("loja_inicio", 36);
        auto& s = TestServer::Shared();
        s.Exec("CREATE USER outro@'%' IDENTIFIED BY 'outra-senha'");
        s.Exec("GRANT SELECT ON loja_inicio.* TO outro@'%'");
    }

    void init() {
        TIdentificacaoServidor::Liberar();
        TConnectionInfo::Liberar();
        dialogs = &ScriptedDialogs::Install();
        dm = std::make_unique<TDM>();
    }

    void cleanup() {
        dm.reset();
        ScriptedDialogs::Uninstall();
        TConnectionInfo::Liberar();
        TIdentificacaoServidor::Liberar();
        RemoveConfBesideProgram();
    }

    void connectsAsRootWithTheStoreCodeOfTheBranch() {
        auto& s = TestServer::Shared();
        Configure(s.Address(), "leitor", TestServer::RootPassword);
        size_t mark = s.Mark();
        auto w = Create();
        QVERIFY(dialogs->Shown.empty());
        QCOMPARE(w->CodLoja, std::string("@"));
        QVERIFY(dm->Conexao.Connected());
        QCOMPARE(dm->Conexao.Server(), s.Address());
        QCOMPARE(dm->Conexao.Port(), 3306);
        QCOMPARE(dm->Conexao.Username(), std::string("root"));
        QVERIFY(w->Linhas.empty());
        int rootConnects = 0, readerConnects = 0;
        for (auto& e : s.Since(mark)) {
            if (e.Command != "Connect")
                continue;
            rootConnects += e.Argument.rfind("root@127.0.0.1 on loja_inicio using TCP/IP", 0) == 0;
            readerConnects +=
                e.Argument.rfind("leitor@127.0.0.1 on loja_inicio using TCP/IP", 0) == 0;
        }
        QCOMPARE(rootConnects, 1);
        QCOMPARE(readerConnects, 1);
        w->show();
        QCOMPARE(w->Parar, std::string("S"));
    }

    void serverDownShowsTheClientsTextBeforeTheWindowAndLaterStatementsTryAgain() {
        // Nothing listens on this loopback address.
        Configure("127.0.0.254", "leitor", TestServer::RootPassword);
        auto w = Create();
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        const auto& box = dialogs->Shown[0];
        QVERIFY2(box.Text.startsWith(Q("Falha ao carregar dados de identificação do servidor.\r\n"
                                       "Motivo: Can't connect to server on '127.0.0.254' (")),
                 qPrintable(box.Text));
        QCOMPARE(box.Caption, TituloDaAplicacao());
        QCOMPARE(box.Icon, TDialogos::Icone::Nenhum);
        QVERIFY(!box.Owned);
        QVERIFY(!w->isVisible()); // the box came before the window
        QCOMPARE(w->CodLoja, std::string());
        QVERIFY(w->Linhas.empty());
        // The identification failed, so no connect was attempted, but the host, database and
        // password were already set.
        QVERIFY(!dm->Conexao.Connected());
        QCOMPARE(dm->Conexao.Server(), std::string("127.0.0.254"));
        QCOMPARE(dm->Conexao.Database(), std::string("loja_inicio"));
        QCOMPARE(dm->Conexao.Password(), std::string(TestServer::RootPassword));
        dm->QTemp.SetSQL("select 1");
        try {
            dm->QTemp.Execute();
            QFAIL("the statement should have tried to connect and failed");
        } catch (const EErro& e) {
            QVERIFY2(Q(e.Message()).startsWith("Can't connect to server on '127.0.0.254' ("),
                     e.what());
        }
    }

    void aRefusedMainConnectionShowsTheClientLibrarysText() {
        // The reader gets in, root does not with that password.
        Configure(TestServer::Shared().Address(), "outro", "outra-senha");
        auto w = Create();
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        QVERIFY(dialogs->Shown[0].Text.startsWith("Access denied for user 'root'@'127.0.0.1'"));
        QCOMPARE(w->CodLoja, std::string("@")); // derived before the connect failed
        QVERIFY(!dm->Conexao.Connected());
    }

    void aHostWithAPortReachesTheMainConnectionUnsplit() {
        // The identification connection splits the port off (and fails on port 1); the main
        // connection is never tried. What it was given is checked at its seam.
        Configure(TestServer::Shared().Address() + ":1", "leitor", TestServer::RootPassword);
        auto w = Create();
        QCOMPARE(dm->Conexao.Server(), TestServer::Shared().Address() + ":1");
        QCOMPARE(dm->Conexao.Port(), 3306);
        QVERIFY(dialogs->Shown.size() == 1);
    }

    void theDefaultErrorDisplayAddsAFullStopAndIgnoresAborts() {
        // An object whose event handler fails, reached through the application's own delivery,
        // where the default error display catches what escapes.
        struct Failing : QObject {
            std::string message;
            bool event(QEvent* e) override {
                if (e->type() != QEvent::User)
                    return QObject::event(e);
                if (message.empty())
                    Abort();
                throw EErro(message);
            }
        } failing;
        std::string& message = failing.message;
        auto deliver = [&] {
            QEvent e(QEvent::User);
            QCoreApplication::sendEvent(&failing, &e);
        };
        deliver();
        QVERIFY(dialogs->Shown.empty());
        const std::pair<std::string, std::string> rows[] = {
            {"QTemp: Duplicate entry", "QTemp: Duplicate entry."},
            {"Falhou!", "Falhou!"},
            {"termina em ponto.", "termina em ponto."},
            {"digito 7", "digito 7."},
            {"pergunta?", "pergunta?."},
            {"virgula,", "virgula,"},
            {"acento \xE3", "acento \xE3."}};
        for (const auto& [raised, shown] : rows) {
            message = raised;
            deliver();
            QCOMPARE(dialogs->Shown.back().Text, Q(shown));
            QCOMPARE(dialogs->Shown.back().Icon, TDialogos::Icone::Erro);
            QCOMPARE(dialogs->Shown.back().Caption, TituloDaAplicacao());
        }
        QCOMPARE(dialogs->Shown.size(), std::size(rows)); // the loop went on after each
    }

    void regionalSettingsComeFromTheLocale() {
        struct Row {
            QLocale locale;
            char decimal, thousands, date, time;
            std::string shortDate;
        };
        const Row rows[] = {
            {QLocale(QLocale::Portuguese, QLocale::Brazil), ',', '.', '/', ':', "dd/MM/yyyy"},
            {QLocale::c(), ',', '.', '/', ':', "dd/MM/yyyy"}, // no locale named: Brazilian
            {QLocale(QLocale::English, QLocale::UnitedStates), '.', ',', '/', ':', "M/d/yy"},
            {QLocale(QLocale::German, QLocale::Germany), ',', '.', '.', ':', "dd.MM.yy"},
        };
        for (const auto& r : rows) {
            TFormatSettings f = LeConfiguracaoRegional(r.locale);
            QCOMPARE(f.DecimalSeparator, r.decimal);
            QCOMPARE(f.ThousandSeparator, r.thousands);
            QCOMPARE(f.DateSeparator, r.date);
            QCOMPARE(f.TimeSeparator, r.time);
            QCOMPARE(f.ShortDateFormat, r.shortDate);
        }
        QCOMPARE(FormatoMascaravel(QStringLiteral("M/d/yy")), QStringLiteral("MM/dd/yyyy"));
        QCOMPARE(FormatoMascaravel(QStringLiteral("dd.MM.yy")), QStringLiteral("dd.MM.yyyy"));
    }

    void theTitleIsTheProgramNameUpToItsFirstDot() {
        QCOMPARE(TituloDaAplicacao("C:\\Loja\\VIVUZORI.VODIZER.EXE"), std::string("Vivuzori"));
        QCOMPARE(TituloDaAplicacao("/opt/loja/VivuzoriVodizerArizoz"),
                 std::string("Vivuzorivodizerarizoz"));
        QCOMPARE(TituloDaAplicacao("xYZ"), std::string("xyz")); // the first one is kept as it is
        QCOMPARE(TituloDaAplicacao("/a.b/Prog.bin"), std::string("Prog"));
    }

    // The program reads no command line: Qt's own options, which would pick a display that
    // does not exist or a style, leave it running as it was. Without a connection.conf beside
    // it, it waits at its start-up box.
    void theProgramIgnoresQtsOptions() {
        QProcess program;
        program.setProgram(QStringLiteral(CADOFERTAS_PROGRAM));
        program.setArguments({QStringLiteral("-platform"), QStringLiteral("nada"),
                              QStringLiteral("-style"), QStringLiteral("nada")});
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start();
        QVERIFY(program.waitForStarted());
        const bool ended = program.waitForFinished(2000);
        const QString said = QString::fromLocal8Bit(program.readAll());
        program.kill();
        program.waitForFinished();
        QVERIFY2(!ended, qPrintable(said));
    }
};

CADOFERTAS_QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
