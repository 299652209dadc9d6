// The user's guide (docs/manual/) against the program: every message the guide quotes is one the
// real window shows, and every message the window shows in these scenarios is quoted in the
// guide; every picture the guide shows exists, and every picture there is shown. The scenarios
// drive the real window against a real store, with the real message boxes read as they open.
//
// In the guide a quoted message is written [text]{.mensagem} (the whole text of a box, or the
// window's status line) or [text]{.trecho} (a part of one); what lies between ⟨ and ⟩ stands for
// a part that changes from case to case.
#include "Conf.h"
#include "QtTestMain.h"
#include "RealDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "ui/DatePicker.h"
#include "ui/UImportarCadOferta.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

const std::string Db = "loja_manual";
const QString Guia = QStringLiteral(CADOFERTAS_MANUAL_DIR);

// Line breaks and runs of blanks count as one blank: the guide wraps what a box shows on two
// lines into one.
QString Normaliza(QString texto) {
    return texto.simplified();
}

struct Citacao {
    QString Texto;   // as the guide writes it
    bool Inteira;    // the whole text of a box (mensagem), or a part of one (trecho)
    QString Arquivo; // the guide's file
    QRegularExpression Padrao;
};

QString LeArquivo(const QString& caminho) {
    QFile f(caminho);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

QStringList ArquivosDoGuia() {
    return QDir(Guia).entryList({QStringLiteral("*.md")}, QDir::Files, QDir::Name);
}

// The quoted texts of the guide, each with the pattern it stands for.
std::vector<Citacao> Citacoes() {
    std::vector<Citacao> citacoes;
    static const QRegularExpression marca(QStringLiteral(R"(\[([^\]]+)\]\{\.(mensagem|trecho)\})"));
    static const QRegularExpression variavel(QStringLiteral(u"⟨[^⟩]*⟩"));
    for (const QString& nome : ArquivosDoGuia()) {
        const QString texto = LeArquivo(Guia + '/' + nome);
        for (auto m = marca.globalMatch(texto); m.hasNext();) {
            auto achado = m.next();
            Citacao c;
            c.Texto = Normaliza(achado.captured(1));
            c.Inteira = achado.captured(2) == QStringLiteral("mensagem");
            c.Arquivo = nome;
            QString padrao;
            qsizetype inicio = 0;
            for (auto v = variavel.globalMatch(c.Texto); v.hasNext();) {
                auto parte = v.next();
                padrao +=
                    QRegularExpression::escape(c.Texto.mid(inicio, parte.capturedStart() - inicio));
                padrao += QStringLiteral(".*");
                inicio = parte.capturedEnd();
            }
            padrao += QRegularExpression::escape(c.Texto.mid(inicio));
            c.Padrao = QRegularExpression(c.Inteira ? QRegularExpression::anchoredPattern(padrao)
                                                    : padrao);
            citacoes.push_back(std::move(c));
        }
    }
    return citacoes;
}

} // namespace

class ManualTest : public QObject, private WindowFixture {
    Q_OBJECT

    std::unique_ptr<RealDialogs> real;
    TempDir dir;
    QStringList shown; // every text the window showed, boxes and status line, normalised

    static TestServer& S() { return TestServer::Shared(); }

    void Collect() {
        for (const SeenBox& box : real->Boxes)
            shown << Normaliza(box.Text);
        real->Boxes.clear();
    }

    void Choose(const std::string& path) {
        real->Files.push_back(QString::fromStdString(path));
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        QTRY_VERIFY(w->isActiveWindow());
    }

    void Import() {
        const size_t antes = real->Boxes.size();
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QTRY_VERIFY(real->Boxes.size() > antes);
        QTRY_VERIFY(w->isActiveWindow());
    }

    // A click into the field, then the digits.
    void TypeDate(TDatePicker* campo, const QString& digitos) {
        QTest::mouseClick(campo->Edit(), Qt::LeftButton);
        QTest::keyClicks(campo->Edit(), digitos);
    }
    // The digits alone, where the window has put the focus back after a message about the date.
    void TypeDateAgain(TDatePicker* campo, const QString& digitos) {
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(campo->Edit()));
        QTest::keyClicks(campo->Edit(), digitos);
    }

    std::string Offer(const char* name) const {
        return dir.Write(name, "BARRAS;DESCRICAO;PRECO;\r\n7891000100103;ARROZ;12,90;\r\n"
                               "7891000999999;NAO CADASTRADO;9,99;\r\n");
    }

    // The scenarios: each message of the window brought up once, as a clerk would.
    void RunScenarios() {
        // Clicked before anything is filled in.
        Import();
        // A name typed in the file dialog that is no file; a workbook renamed .csv.
        Choose((dir.Path() / "nao-existe.csv").string());
        Choose(dir.Write("pasta.csv", std::string("PK\x03\x04\x14\0\x06\0", 8)));
        // An empty file.
        Choose(dir.Write("vazio.csv", ""));
        w->txtCadOferta->setText(QStringLiteral("Ofertas da Semana"));
        Import();
        // A file deleted after it was chosen.
        const std::string apagado = Offer("apagado.csv");
        Choose(apagado);
        fs::remove(apagado);
        Import();
        // No name.
        Choose(Offer("semana.csv"));
        w->txtCadOferta->clear();
        Import();
        w->txtCadOferta->setText(QStringLiteral("Ofertas da Semana"));
        // The start after the end, then a date that does not exist.
        TypeDate(w->dtInicio, QStringLiteral("10032026"));
        TypeDate(w->dtFim, QStringLiteral("08032026"));
        Import();
        TypeDateAgain(w->dtInicio, QStringLiteral("31022026"));
        const size_t antes = real->Boxes.size();
        QTest::keyClick(w->dtInicio->Edit(), Qt::Key_Tab);
        QTRY_VERIFY(real->Boxes.size() > antes);
        TypeDateAgain(w->dtInicio, QStringLiteral("02032026"));
        // Cancel while idle, answered No.
        real->Clicks.push_back(QStringLiteral(u"&Não"));
        QTest::mouseClick(w->cmdCancelar, Qt::LeftButton);
        // An import with a product missing: the report shown by the viewer beside the program.
        Import();
        // Again with no viewer to start.
        const fs::path viewer =
            fs::path(QCoreApplication::applicationDirPath().toStdString()) / "visualizador";
        fs::rename(viewer, fs::path(viewer) += ".fora");
        Collect();
        Import();
        QTRY_COMPARE(real->Boxes.size(), size_t(2));
        fs::rename(fs::path(viewer) += ".fora", viewer);
        // Cancel during an import, with the status line read as the question opens.
        QTimer::singleShot(0, w.get(), [this] {
            shown << Normaliza(w->lblDescricao->text());
            QTest::mouseClick(w->cmdCancelar, Qt::LeftButton);
        });
        Import();
        // A report that cannot be created where the program works (a folder holds its name):
        // every line is written, then the run ends on the error; a new window follows.
        const fs::path relatorio = fs::current_path() / "Relatorio.txt";
        fs::remove_all(relatorio);
        fs::create_directory(relatorio);
        Import();
        fs::remove_all(relatorio);
        Collect();
        Open();
        w->txtCadOferta->setText(QStringLiteral("Ofertas da Semana"));
        // A file saved without the ";" after the price; then a price with a thousands separator
        // in a new window (after an error the import stays stopped).
        Choose(dir.Write("tres-colunas.csv",
                         "BARRAS;DESCRICAO;PRECO\r\n7891000100103;ARROZ;12,90\r\n"));
        Import();
        Open();
        Choose(dir.Write("milhar.csv",
                         "BARRAS;DESCRICAO;PRECO;\r\n7891000100103;ARROZ;1.234,56;\r\n"));
        w->txtCadOferta->setText(QStringLiteral("Ofertas da Semana"));
        Import();
        Collect();
        // A statement the server refuses.
        Open();
        Choose(Offer("semana3.csv"));
        w->txtCadOferta->setText(QStringLiteral("Ofertas da Semana"));
        S().Exec("ALTER TABLE cadofertas DROP COLUMN lojas_leram", Db);
        Import();
        Collect();
        // A store without its identification: the start-up's message, then the import's.
        S().Exec("DELETE FROM identificacao_servidor", Db);
        Open();
        Collect();
        Choose(Offer("semana2.csv"));
        w->txtCadOferta->setText(QStringLiteral("Ofertas da Semana"));
        Import();
        // A user the server refuses, and a server that does not answer (nothing listens on
        // port 1 of the test server's address).
        CloseWindow();
        PointConfAtStore(Db, "sem_acesso");
        Open();
        Collect();
        CloseWindow();
        ConfValues v;
        v.DatabaseIP = S().Address() + ":1";
        v.Databasename = Db;
        v.Usuario = "leitor";
        v.Senha = TestServer::RootPassword;
        WriteConfBesideProgram(v);
        Open();
        Collect();
        CloseWindow();
        // No connection.conf beside the program.
        RemoveConfBesideProgram();
        Open();
        Collect();
        CloseWindow();
        PointConfAtStore(Db);
    }

    // The text of the guide's quick start: from its heading to the next one.
    static QString ComecoRapido() {
        const QString guia = LeArquivo(Guia + QStringLiteral("/manual.md"));
        const qsizetype inicio = guia.indexOf(QStringLiteral("\n# Começo rápido\n"));
        if (inicio < 0)
            return {};
        return guia.mid(inicio, guia.indexOf(QStringLiteral("\n# "), inicio + 1) - inicio);
    }

    // Types into whatever has the keyboard's focus, as a person at the keyboard does: one key at
    // a time, each handled, with what it set in motion, before the next (as keys that come from
    // the keyboard through the event loop are); a letter beyond ASCII (the "ç" of a Brazilian
    // keyboard) is its own key with its text.
    static void Tecla(Qt::Key tecla, const QString& texto) {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), tecla, texto,
                            Qt::NoModifier);
        QCoreApplication::processEvents();
    }
    static void Digita(const QString& texto) {
        for (const QChar c : texto)
            Tecla(Qt::Key(c.toUpper().unicode()), QString(c));
    }
    static void Enter() { Tecla(Qt::Key_Return, QStringLiteral("\r")); }

private slots:
    void initTestCase() {
        CreateStore(Db);
        PointConfAtStore(Db);
        S().Exec("INSERT INTO produto (produto_id, barras, lojas_leram) VALUES "
                 "(1, '7891000100103', 'Z')",
                 Db);
        QVERIFY2(!ArquivosDoGuia().isEmpty(), qPrintable(Guia));
        real = std::make_unique<RealDialogs>();
        Open();
        RunScenarios();
        Collect();
        real.reset();
        CloseWindow();
    }

    void cleanupTestCase() { RemoveConfBesideProgram(); }

    // The guide's five steps, key by key as written there, into a store of their own: the
    // booklet and its product get the dates typed.
    void quickStartAsWritten() {
        const QString passos = ComecoRapido();
        const QString arquivo = QStringLiteral("ofertas-marco.csv");
        const QString nome = QStringLiteral(u"Ofertas de Março");
        const QString inicio = QStringLiteral("02032026"), fim = QStringLiteral("08032026");
        for (const QString& exemplo : {arquivo, nome, inicio, fim})
            QVERIFY2(passos.contains('`' + exemplo + '`'),
                     qPrintable("the quick start does not give " + exemplo));
        const std::string db = "loja_manual_rapido";
        CreateStore(db);
        PointConfAtStore(db);
        S().Exec("INSERT INTO produto (produto_id, barras, lojas_leram) VALUES "
                 "(1, '7891000100103', 'Z')",
                 db);
        // 1. The sheet saved as CSV, in the folder the file dialog opens in.
        const fs::path csv = fs::current_path() / arquivo.toStdString();
        WriteAll(csv, "BARRAS;DESCRICAO;PRECO;FIM\r\n7891000100103;ARROZ;12,90;\r\n");
        real = std::make_unique<RealDialogs>();
        // 2. The program opened.
        Open();
        // 3. "...", the file's name typed, Enter.
        real->Files.push_back(arquivo);
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        QTRY_VERIFY(w->isActiveWindow());
        QCOMPARE(QFileInfo(w->txtArquivo->text()).fileName(), arquivo);
        // 4. The name, Enter; the start's digits, Enter; the end's digits, Enter.
        Digita(nome);
        Enter();
        Digita(inicio);
        Enter();
        Digita(fim);
        Enter();
        // 5. Enter twice; the closing message answered with Enter.
        Enter();
        Enter();
        QTRY_VERIFY(!real->Boxes.empty());
        const QString visto = real->Boxes.back().Text;
        real.reset();
        CloseWindow();
        fs::remove(csv);
        PointConfAtStore(Db);
        QCOMPARE(visto, QStringLiteral(u"Importação concluída com sucesso!!!"));
        const std::string caderno =
            S().Scalar("SELECT CONCAT(data1, ' ', data2) FROM cadofertas", db);
        QVERIFY2(caderno == "2026-03-02 2026-03-08", ("the booklet's dates: " + caderno).c_str());
        const std::string produto = S().Scalar(
            "SELECT CONCAT(dtiniciopromocao, ' ', valid_pro, ' ', preco_pro) FROM produto", db);
        QVERIFY2(produto == "2026-03-02 2026-03-08 12.9000", ("the product's: " + produto).c_str());
    }

    void everyQuotedMessageIsOneTheProgramShows() {
        const auto citacoes = Citacoes();
        QVERIFY(citacoes.size() >= 20);
        for (const Citacao& c : citacoes) {
            bool achou = false;
            for (const QString& texto : shown)
                achou = achou || c.Padrao.match(texto).hasMatch();
            QVERIFY2(achou,
                     qPrintable(c.Arquivo + ": \"" + c.Texto +
                                "\" is not shown by the program; it showed:\n" + shown.join('\n')));
        }
    }

    void everyMessageTheProgramShowedIsInTheGuide() {
        const auto citacoes = Citacoes();
        QVERIFY(shown.size() >= 20);
        for (const QString& texto : shown) {
            bool achou = false;
            for (const Citacao& c : citacoes)
                achou = achou || (c.Inteira && c.Padrao.match(texto).hasMatch());
            QVERIFY2(achou, qPrintable("the guide does not quote \"" + texto + "\""));
        }
    }

    void everyPictureIsShownAndEveryShownPictureExists() {
        static const QRegularExpression figura(QStringLiteral(R"(!\[[^\]]*\]\((imagens/[^)]+)\))"));
        QStringList mostradas;
        for (const QString& nome : ArquivosDoGuia())
            for (auto m = figura.globalMatch(LeArquivo(Guia + '/' + nome)); m.hasNext();)
                mostradas << m.next().captured(1);
        QVERIFY(!mostradas.isEmpty());
        for (const QString& f : mostradas)
            QVERIFY2(QFile::exists(Guia + '/' + f), qPrintable(f + " is shown but missing"));
        const QStringList existentes = QDir(Guia + QStringLiteral("/imagens"))
                                           .entryList({QStringLiteral("*.png")}, QDir::Files);
        for (const QString& f : existentes)
            QVERIFY2(mostradas.contains(QStringLiteral("imagens/") + f),
                     qPrintable(f + " is in imagens/ but the guide never shows it"));
    }
};

CADOFERTAS_QTEST_MAIN(ManualTest)
#include "ManualTest.moc"
