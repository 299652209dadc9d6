// Broken and hostile input under the real window: connection.conf binary, huge or with every key
// malformed; offer files that are binary, hold a NUL or very long lines; a report that cannot be
// written; a viewer that is missing or exits at once.
#include "Conf.h"
#include "Espera.h"
#include "QtTestMain.h"
#include "ScriptedDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "import/OfertaArquivo.h"
#include "ui/Gauge.h"
#include "ui/Texto1252.h"
#include "ui/UImportarCadOferta.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

const std::string Db = "loja_hostil";
const QString Prefix = QStringLiteral(u"Falha ao carregar dados de identificação do servidor.\r\n"
                                      u"Motivo: ");

// Runs the test inside a folder of its own, where the report is written.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : old_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~InFolder() { fs::current_path(old_); }

private:
    fs::path old_;
};

std::string Bytes(size_t n, unsigned seed, bool withNul) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) {
        c = static_cast<char>(gen() & 0xFF);
        if (!withNul && c == '\0')
            c = '\x01';
    }
    return s;
}

} // namespace

class HostileInputTest : public QObject, private WindowFixture {
    Q_OBJECT

    TempDir dir;

    static TestServer& S() { return TestServer::Shared(); }
    static std::string One(const std::string& sql) { return S().Scalar(sql, Db); }

    static std::string GoodConf() {
        TValoresConf v;
        v.DatabaseIP = S().Address();
        v.Databasename = Db;
        v.Usuario = "leitor";
        v.Senha = TestServer::RootPassword;
        return TextoConnectionConf(v);
    }
    void Choose(const std::string& path) {
        dialogs->FileChoices.push_back(QString::fromStdString(path));
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        w->txtCadOferta->setText(QStringLiteral("Ofertas"));
    }
    // A settings file that configures nothing: the identification goes to the client library's
    // default local socket, which this program's environment points at a file that is not there.
    void VerifyNothingConfigured() {
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        const QString socket = qEnvironmentVariable("MYSQL_UNIX_PORT");
        QVERIFY(!socket.isEmpty());
        // The client library names the socket, cutting a long path short.
        const QString text = dialogs->Shown[0].Text;
        const QString head =
            Prefix + QStringLiteral("Can't connect to local server through socket '");
        const QString tail = QStringLiteral("' (2)");
        QVERIFY2(text.startsWith(head) && text.endsWith(tail), qPrintable(text));
        const QString shown = text.mid(head.size(), text.size() - head.size() - tail.size());
        QVERIFY2(shown.size() >= 32 && socket.startsWith(shown), qPrintable(shown));
        auto& info = TConnectionInfo::GetInstance();
        QCOMPARE(info.GetHost(), std::string());
        QCOMPARE(info.GetDatabase(), std::string());
        QCOMPARE(info.GetUser(), std::string());
        QCOMPARE(info.GetPassword(), std::string());
        QCOMPARE(info.GetCodFisica(), 0);
        QCOMPARE(w->CodLoja, std::string());
        QVERIFY(w->isVisible());
        QVERIFY(w->Linhas.empty());
    }

private slots:
    void initTestCase() {
        // The client library's default local socket, pointed at a file that is not there, in a
        // short temporary folder: a socket path may hold 107 bytes, and a checkout's own path
        // may be longer than that.
        qputenv("MYSQL_UNIX_PORT", (dir.Path() / "sem-servidor.sock").string().c_str());
        CreateStore(Db, 20);
        S().Exec("INSERT INTO produto (produto_id, barras) VALUES (1, '7891000100103')", Db);
    }

    void init() {
        S().Exec("TRUNCATE TABLE cadofertas", Db);
        S().Exec("TRUNCATE TABLE prodcadofertas", Db);
        dialogs = &ScriptedDialogs::Install();
        WriteRawConfBesideProgram(GoodConf());
    }

    void cleanup() {
        CloseWindow();
        RemoveConfBesideProgram();
    }

    void aBinaryConnectionConf() {
        SKIP_ON_WINDOWS("the client has no Unix socket there to name");
        WriteRawConfBesideProgram(Bytes(64 * 1024, 7, true));
        Open();
        VerifyNothingConfigured();
    }

    void aConnectionConfWithEveryKeyMalformed() {
        SKIP_ON_WINDOWS("the client has no Unix socket there to name");
        WriteRawConfBesideProgram("[connection]\r\n"
                                  "DatabaseIP=zz\r\n"         // not hexadecimal
                                  "MacAdress=0x41\r\n"        // a prefix
                                  "CodFisica=+31\r\n"         // a sign
                                  "Databasename=6\r\n"        // no whole pair
                                  "Usuario=\"6A 6F\"\r\n"     // a blank between the pairs
                                  "Senha='61'62'\r\n"         // quotes inside
                                  "Name=4G\r\n"               // a letter after F
                                  "Cnpj=\xC3\xA9\xC3\xA9\r\n" // not digits at all
                                  "Database IP=3132\r\n"      // not a key of ours
                                  "DatabaseIP\r\n");          // no value
        Open();
        VerifyNothingConfigured();
        QCOMPARE(TConnectionInfo::GetInstance().GetName(), std::string());
        QCOMPARE(TConnectionInfo::GetInstance().GetCnpj(), std::string());
        QCOMPARE(TConnectionInfo::GetInstance().GetMacAdress(), std::string());
    }

    void aHugeConnectionConfStillConfiguresTheTool() {
        // 50 MB of other keys before ours, and one value of 10 MB, cut to 2047 digits.
        std::string text = "[connection]\r\n";
        text.reserve(52u << 20);
        for (int i = 0; text.size() < (40u << 20); ++i)
            text += "Chave" + std::to_string(i) + "=" + std::string(40, 'a') + "\r\n";
        text += "Cnpj=" + std::string(10u << 20, '4') + "\r\n";
        text += GoodConf().substr(std::string("[connection]\r\n").size());
        WriteRawConfBesideProgram(text);
        Open();
        QVERIFY2(dialogs->Shown.empty(), qPrintable(LastText()));
        QCOMPARE(w->CodLoja, std::string("K"));
        QVERIFY(dm->Conexao.Connected());
        QCOMPARE(TConnectionInfo::GetInstance().GetCnpj(), std::string(1023, 'D'));
    }

    void binaryOfferFilesLoadAsTheyStandAndFailAtTheirPrice() {
        Open();
        // Every byte value but the line ends in the barcode, then a line of random bytes.
        std::string barcode;
        for (int b = 1; b <= 255; ++b)
            if (b != '\r' && b != '\n' && b != ';')
                barcode += static_cast<char>(b);
        std::string noise = Bytes(4096, 11, false);
        for (char& c : noise)
            if (c == ';' || c == '\r' || c == '\n')
                c = 'x';
        std::string bytes = "\xFF\xFEH\x01;binario;\r\n";
        bytes += barcode + ";NAO EXISTE;1;\r\n" + noise + "\r\n" + Bytes(1024, 13, false);
        const std::string file = dir.Write("binario.csv", bytes);
        Choose(file);
        QCOMPARE(w->Linhas, DivideLinhas(bytes));
        QCOMPARE(w->Gauge1->MaxValue(), static_cast<int>(w->Linhas.size()));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        // The noise line has no price field: the run ends there, the line before it done.
        QCOMPARE(LastText(), QStringLiteral("'' is not a valid floating point value."));
        QCOMPARE(w->Gauge1->Progress(), 1);
        QCOMPARE(One("select count(*) from cadofertas"), std::string("1"));
    }

    // A spreadsheet's own format or a damaged file: refused when chosen, naming the line of the
    // NUL, and a later "Importar" finds nothing to import.
    void aFileWithANulIsRefusedWhenChosen() {
        Open();
        TempDir work;
        InFolder in(work.Path());
        const std::string bytes = "BARRAS;DESCRICAO;PRECO;\r\n7891000100103;ARROZ;1;\r\n789\0"
                                  "0000000000999;DEPOIS;2;\r\n"s;
        Choose(dir.Write("com-nul.csv", bytes)); // "nul" names a device on Windows
        QCOMPARE(dialogs->Shown.size(), size_t(1));
        QCOMPARE(LastText(), QStringLiteral(u"O arquivo escolhido não é um arquivo de texto: a "
                                            u"linha 3 contém um caractere nulo. Salve a planilha "
                                            u"como texto separado por \";\" e escolha o arquivo "
                                            u"novamente."));
        QCOMPARE(dialogs->Shown.back().Icon, TDialogos::Icone::Erro);
        QVERIFY(w->Linhas.empty());
        w->txtCadOferta->setText(QStringLiteral("Ofertas"));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(LastText(), QStringLiteral(u"Não existem dados para serem importados."));
        QCOMPARE(One("select count(*) from cadofertas"), std::string("0"));
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("0"));
    }

    void veryLongLinesGoThroughTheRunAndTheReport() {
        Open();
        TempDir work;
        InFolder in(work.Path());
        // A 10 MB description and a 5 MB barcode, both of products not found.
        const std::string description(10u << 20, 'D');
        const std::string barcode = "9" + std::string((5u << 20) - 1, '8');
        const std::string bytes = "H;;;\r\n1234;" + description + ";1,5;\r\n" + barcode +
                                  ";LONGO;2;\r\n7891000100103;ARROZ;3;\r\n";
        Choose(dir.Write("longas.csv", bytes));
        QCOMPARE(w->Linhas.size(), size_t(4));
        QCOMPARE(w->Linhas[1].size(), description.size() + 10);
        size_t mark = S().Mark();
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(ShownCount(QStringLiteral(u"Importação concluída com sucesso!!!")), 1);
        // The long barcode reached the server whole in both lookups.
        int whole = 0;
        for (auto& e : S().Since(mark))
            whole += e.Command == "Query" && e.Argument.find(barcode) != std::string::npos &&
                     e.Argument.size() < barcode.size() + 100;
        QCOMPARE(whole, 2);
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("1"));
        const std::string report = ReadAll("Relatorio.txt");
        QVERIFY(report.find("   0000000001234    " + std::string(50, 'D') + "       1,50\r\n") !=
                std::string::npos);
        QVERIFY(report.find("   9888888888888    LONGO") != std::string::npos);
        QVERIFY(report.size() < 20000);
    }

    void aReportThatCannotBeWrittenEndsTheRunWithoutTheViewer() {
        SKIP_ON_WINDOWS("the viewer here is a shell script, and the text is the POSIX one");
        Open();
        TempDir work;
        InFolder in(work.Path());
        fs::create_directory("Relatorio.txt"); // the report's name is taken by a folder
        const std::string viewerLog = (work.Path() / "viewer.log").string();
        WriteAll("visualizador", "#!/bin/sh\necho \"$@\" >> '" + viewerLog + "'\n");
        fs::permissions("visualizador", fs::perms::owner_all);
        Choose(
            dir.Write("faltando.csv", "H;;;\r\n7891000100103;ARROZ;1;\r\n0000000000999;X;2;\r\n"));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        const QString path = QString::fromStdString((work.Path() / "Relatorio.txt").string());
        QCOMPARE(LastText(), QStringLiteral("Cannot create file \"") + path +
                                 QStringLiteral("\". Is a directory."));
        QCOMPARE(dialogs->Shown.back().Icon, TDialogos::Icone::Erro);
        QCOMPARE(w->Parar, std::string("N"));
        QVERIFY(!w->cmdImportar->isEnabled());
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("1"));
        QVERIFY(fs::is_directory("Relatorio.txt"));
        QVERIFY(!fs::exists(viewerLog)); // never started
    }

    void aViewerThatCannotStartIsToldAfterTheCompletion_data() {
        QTest::addColumn<QString>("viewer"); // what stands in the current folder as the viewer
        QTest::addColumn<int>("mode");
        QTest::newRow("nowhere") << QString() << 0;
        QTest::newRow("not executable") << QStringLiteral("#!/bin/sh\n") << 0644;
        QTest::newRow("not a program") << QStringLiteral("no program at all\n") << 0755;
    }

    void aViewerThatCannotStartIsToldAfterTheCompletion() {
        QFETCH(QString, viewer);
        QFETCH(int, mode);
        SKIP_ON_WINDOWS("the rows are POSIX file modes and shell scripts");
        Open();
        TempDir work, emptyPath;
        InFolder in(work.Path());
        // Not in the program's folder nor on the search path; in this folder only as the row says.
        struct SearchPath {
            std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
            ~SearchPath() { qputenv("PATH", old.c_str()); }
        } restore;
        qputenv("PATH", emptyPath.Path().string().c_str());
        if (!viewer.isEmpty()) {
            WriteAll("visualizador", viewer.toStdString());
            fs::permissions("visualizador", static_cast<fs::perms>(mode));
        }
        Choose(dir.Write("faltando.csv", "H;;;\r\n0000000000999;X;2;\r\n"));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(dialogs->Shown.size(), size_t(2));
        QCOMPARE(dialogs->Shown[0].Text, QStringLiteral(u"Importação concluída com sucesso!!!"));
        const ShownMessage& box = dialogs->Shown[1];
        const QString report = QString::fromStdString((work.Path() / "Relatorio.txt").string());
        QCOMPARE(box.Text, QStringLiteral(u"Não foi possível mostrar o relatório dos produtos "
                                          u"não importados. Ele foi gravado em ") +
                               report);
        QCOMPARE(box.Caption, QStringLiteral(u"Atenção"));
        QCOMPARE(box.Icon, TDialogos::Icone::Informacao);
        QVERIFY(ReadAll("Relatorio.txt").find("0000000000999    X") != std::string::npos);
        QVERIFY(w->cmdImportar->isEnabled());
    }

    void aViewerThatExitsAtOnce() {
        SKIP_ON_WINDOWS("the viewer here is a shell script");
        Open();
        TempDir work;
        InFolder in(work.Path());
        const std::string viewerLog = (work.Path() / "viewer.log").string();
        WriteAll("visualizador", "#!/bin/sh\necho \"$@\" >> '" + viewerLog + "'\nexit 3\n");
        fs::permissions("visualizador", fs::perms::owner_all);
        Choose(dir.Write("faltando.csv", "H;;;\r\n0000000000999;X;2;\r\n"));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(LastText(), QStringLiteral(u"Importação concluída com sucesso!!!"));
        QVERIFY(EsperaAte(
            [&] { return fs::exists(viewerLog) && ReadAll(viewerLog) == "Relatorio.txt 132\n"; }));
        QVERIFY(ReadAll("Relatorio.txt").find("Total Produtos n\xE3o importados: 1\r\n") !=
                std::string::npos);
        QVERIFY(w->cmdImportar->isEnabled());
    }
};

CADOFERTAS_QTEST_MAIN(HostileInputTest)
#include "HostileInputTest.moc"
