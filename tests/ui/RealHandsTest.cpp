// The import window under a person's hands: dates typed key by key, the real message boxes and
// the real file dialog opened and answered, and the regional settings of the machine, against a
// real server. Runs offscreen and on a real X display.
#include "Conf.h"
#include "QtTestMain.h"
#include "RealDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "app/Aplicacao.h"
#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "platform/Texto.h"
#include "ui/ConfiguracaoRegional.h"
#include "ui/DatePicker.h"
#include "ui/ErroPadrao.h"
#include "ui/Texto1252.h"
#include "ui/UImportarCadOferta.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include <cerrno>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {
const std::string Db = "loja_maos";
const QString Sucesso = QStringLiteral(u"Importação concluída com sucesso!!!");
// How the clerk gets into the date fields.
enum class Rota { Enter, Tab, Clique, Calendario, CliqueNoDigito };
} // namespace

class RealHandsTest : public QObject, private WindowFixture {
    Q_OBJECT

    std::unique_ptr<RealDialogs> real; // the boxes and the file dialog, really opened
    TempDir dir;

    static TestServer& S() { return TestServer::Shared(); }
    static std::string One(const std::string& sql) { return S().Scalar(sql, Db); }

    // The file chosen through the real dialog, its path typed key by key.
    void Choose(const std::string& path) {
        real->Files.push_back(QString::fromStdString(path));
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        QTRY_VERIFY(w->isActiveWindow());
    }

    void TypeInto(QLineEdit* field, const QString& text) {
        QTest::mouseClick(field, Qt::LeftButton);
        QTest::keyClicks(field, text);
    }

    // Typed key by key into the date field that has the focus, as it stands.
    static void TypeDate(TDatePicker* field, const QString& text) {
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(field->Edit()));
        QTest::keyClicks(field->Edit(), text);
        QCOMPARE(field->Edit()->text(),
                 text.size() == 8 ? text.left(2) + u'/' + text.mid(2, 2) + u'/' + text.right(4)
                                  : text);
    }

    // The middle of a character of the field, as the eye finds it: from there on, the nearest
    // boundary between characters is the one after it.
    static int MeioDe(QLineEdit* campo, int caractere) {
        int x = 0;
        while (x < campo->width() && campo->cursorPositionAt(QPoint(x, 10)) <= caractere)
            ++x;
        return x;
    }

    // The dates of the statements that write them (the booklet's insert, the products' updates),
    // each as "yyyymmdd yyyymmdd", in the order the server received them.
    static QStringList DatesSent(size_t mark) {
        static const QRegularExpression escreve(QStringLiteral(
            R"re(^(insert into cadofertas|update produto set)\b.*?"(\d{8})".*?"(\d{8})")re"));
        QStringList dates;
        for (const LogEntry& e : S().Since(mark)) {
            const auto m = escreve.match(QString::fromLatin1(e.Argument));
            if (e.Command == "Query" && m.hasMatch())
                dates << m.captured(2) + u' ' + m.captured(3);
        }
        return dates;
    }

    // A valid import up to its start: the file and the booklet's name.
    void Prepare() {
        Choose(dir.Write("oferta.csv", "BARRAS;DESCRICAO;PRECO;\r\n7891000100103;ARROZ;12,90;\r\n"
                                       "0000000000789;PAO;1234,5;\r\n"));
        QCOMPARE(w->Linhas.size(), size_t(3));
        TypeInto(w->txtCadOferta, QStringLiteral("Ofertas da Semana"));
    }

    static QString InvalidDate(const QString& typed) {
        return ParaQString(TextoDoErro("'" + DeQString(typed) + "' is not a valid date"));
    }

private slots:
    void initTestCase() {
        CreateStore(Db);
        PointConfAtStore(Db);
        DefineConfiguracaoRegional(TFormatSettings::BrasilPadrao());
    }

    void cleanupTestCase() {
        w.reset();
        dm.reset();
        RemoveConfBesideProgram();
        TConnectionInfo::Liberar();
        TIdentificacaoServidor::Liberar();
    }

    void init() {
        for (const char* t : {"produto", "cadofertas", "prodcadofertas"})
            S().Exec(std::string("TRUNCATE TABLE ") + t, Db);
        S().Exec("INSERT INTO produto (produto_id, barras, lojas_leram) VALUES "
                 "(1, '7891000100103', 'Z'), (2, '0000000000789', 'Z')",
                 Db);
        real = std::make_unique<RealDialogs>();
        Open();
        QVERIFY(real->Boxes.empty());
    }

    void cleanup() {
        w.reset();
        real.reset();
        DefineConfiguracaoRegional(TFormatSettings::BrasilPadrao());
    }

    // The routes into the date fields a clerk takes, each with the dates typed straight in, digits
    // alone or with their slashes: whichever way the field is entered, the whole date is selected
    // and the typing replaces it from its first digit.
    void typedDatesReachTheStatements_data() {
        QTest::addColumn<int>("route");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        const QString digits[] = {QStringLiteral("01122026"), QStringLiteral("31122026")};
        const QString slashes[] = {QStringLiteral("01/12/2026"), QStringLiteral("31/12/2026")};
        auto row = [&](const char* name, Rota rota, const QString(&datas)[2]) {
            QTest::newRow(name) << static_cast<int>(rota) << datas[0] << datas[1];
        };
        row("Enter", Rota::Enter, digits);
        row("Enter, slashes", Rota::Enter, slashes);
        row("Shift+Tab and Tab", Rota::Tab, digits);
        row("Shift+Tab and Tab, slashes", Rota::Tab, slashes);
        row("click", Rota::Clique, digits);
        row("click, slashes", Rota::Clique, slashes);
        row("calendar, then typed", Rota::Calendario, digits);
        row("click again on a digit", Rota::CliqueNoDigito, digits);
    }

    void typedDatesReachTheStatements() {
        QFETCH(int, route);
        QFETCH(QString, start);
        QFETCH(QString, end);
        Prepare();
        const size_t mark = S().Mark();
        const auto rota = static_cast<Rota>(route);
        // Into the start date.
        switch (rota) {
        case Rota::Tab: // back from the name: the check box, the end date, the start date
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            break;
        case Rota::Clique: // anywhere in the field: here its middle, on the year
            QTest::mouseClick(w->dtInicio->Edit(), Qt::LeftButton);
            break;
        case Rota::Calendario: // today chosen with the arrow and Enter
            QTest::mouseClick(w->dtInicio->Botao(), Qt::LeftButton);
            QTRY_VERIFY(w->dtInicio->Calendario()->isVisible());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(!w->dtInicio->Calendario()->isVisible());
            break;
        default: // from the name, Enter
            QTest::keyClick(w->txtCadOferta, Qt::Key_Return);
        }
        if (rota == Rota::CliqueNoDigito) {
            // A slip in the year, mended by a click on the right half of its third digit: the
            // caret goes on that digit.
            TypeDate(w->dtInicio, start.left(6) + QStringLiteral("99"));
            QLineEdit* campo = w->dtInicio->Edit();
            const int meio = MeioDe(campo, 8), seguinte = MeioDe(campo, 9);
            QTest::mouseClick(campo, Qt::LeftButton, {}, QPoint(meio + (seguinte - meio) / 4, 10));
            QTest::keyClicks(campo, start.right(2));
            QCOMPARE(campo->text(), QStringLiteral("01/12/2026"));
        } else {
            TypeDate(w->dtInicio, start);
        }
        // Into the end date, then to the button.
        if (rota == Rota::Tab) {
            QTest::keyClick(w->dtInicio->Edit(), Qt::Key_Tab);
            TypeDate(w->dtFim, end);
            for (int i = 0; i < 3; ++i) // the check box, the name, the button
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } else {
            if (rota == Rota::Clique) // near its right end, past the year
                QTest::mouseClick(w->dtFim->Edit(), Qt::LeftButton, {},
                                  QPoint(w->dtFim->Edit()->width() - 8, 10));
            else
                QTest::keyClick(w->dtInicio->Edit(), Qt::Key_Return);
            TypeDate(w->dtFim, end);
            QTest::keyClick(w->dtFim->Edit(), Qt::Key_Return);
            QTest::keyClick(w->checkPromocao, Qt::Key_Return);
        }
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->cmdImportar));
        QTest::keyClick(w->cmdImportar, Qt::Key_Return);
        QCOMPARE(real->Texts(), QStringList{Sucesso});
        // The booklet's row and both products' updates, as the server received them.
        QCOMPARE(DatesSent(mark), QStringList(3, QStringLiteral("20261201 20261231")));
        QCOMPARE(One("select concat(data1, ' ', data2, ' ', lojas_leram) from cadofertas"),
                 std::string("2026-12-01 2026-12-31 A"));
        QCOMPARE(One("select group_concat(concat(dtiniciopromocao, ' ', valid_pro, ' ', "
                     "preco_pro, ' ', lojas_leram) order by produto_id) from produto"),
                 std::string("2026-12-01 2026-12-31 12.9000 A,2026-12-01 2026-12-31 1234.5000 A"));
    }

    // However the import is started, an impossible date is refused first, once, with the
    // default error display; the focus goes back to the date and nothing is written.
    void anImpossibleDateWritesNothing_data() {
        QTest::addColumn<int>("route");
        QTest::newRow("mouse click") << 0;
        QTest::newRow("Alt+I") << 1;
        QTest::newRow("Tab and Enter typed ahead") << 2;
    }

    void anImpossibleDateWritesNothing() {
        QFETCH(int, route);
        Prepare();
        TypeInto(w->dtFim->Edit(), QStringLiteral("31022026"));
        QCOMPARE(w->dtFim->Edit()->text(), QStringLiteral("31/02/2026"));
        if (route == 0) {
            QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        } else if (route == 1) {
            SKIP_ON_WINDOWS("Qt Test's Alt+I never reaches the button's mnemonic on the windows "
                            "platform (the other rows hold there)");
            QTest::keyClick(w.get(), Qt::Key_I, Qt::AltModifier);
        } else {
            QTest::keyClick(w->dtFim->Edit(), Qt::Key_Tab); // to the check box
            QTest::keyClick(w->checkPromocao, Qt::Key_Tab); // to the name
            QTest::keyClick(w->txtCadOferta, Qt::Key_Tab);  // to the button
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QTRY_COMPARE(real->Boxes.size(), size_t(1));
        QTest::qWait(300); // a click still on its way (Alt+I's) or a second refusal would land
        QCOMPARE(real->Texts(), QStringList{InvalidDate(QStringLiteral("31/02/2026"))});
        const SeenBox& box = real->Boxes[0];
        QCOMPARE(box.Caption, TituloDaAplicacao());
        QCOMPARE(box.Icon, QMessageBox::Critical);
        QCOMPARE(box.Buttons, QStringList{QStringLiteral("OK")});
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->dtFim->Edit()));
        QCOMPARE(One("select count(*) from cadofertas"), std::string("0"));
        QCOMPARE(One("select count(*) from produto where lojas_leram <> 'Z'"), std::string("0"));
        QCOMPARE(w->Parar, std::string("S"));
        QVERIFY(w->cmdImportar->isEnabled());
    }

    // Going to another window is not leaving the field: no refusal until the focus moves to
    // another control of this window.
    void anotherWindowDoesNotRaiseTheRefusal() {
        TypeInto(w->dtInicio->Edit(), QStringLiteral("99"));
        QWidget other;
        other.setWindowTitle(QStringLiteral("outra"));
        other.resize(200, 100);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QTest::qWait(100);
        QVERIFY(real->Boxes.empty());
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->dtInicio->Edit()));
        QVERIFY(real->Boxes.empty());
        QTest::keyClick(w->dtInicio->Edit(), Qt::Key_Tab);
        QTRY_COMPARE(real->Boxes.size(), size_t(1));
        QCOMPARE(real->Boxes[0].Text, InvalidDate(w->dtInicio->Edit()->text()));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w->dtInicio->Edit()));
    }

    // A file name that looks like markup is shown as it is, not rendered.
    void boxesShowTheirTextAsPlainText() {
        SKIP_ON_WINDOWS("a Windows file name cannot hold < or >");
        fs::create_directory(dir.Path() / "<b>x<");
        const std::string path = (dir.Path() / "<b>x</b>.csv").string();
        Choose(path);
        QCOMPARE(real->FileDialogs, 1);
        QCOMPARE(real->LastFileDialogFilter, QStringLiteral("Arquivo Excel (*.csv)"));
        QCOMPARE(real->Boxes.size(), size_t(1));
        const SeenBox& box = real->Boxes[0];
        QCOMPARE(box.Text, ParaQString(TextoDoErro("Cannot open file \"" + path + "\". " +
                                                   MensagemDoSistema(ENOENT))));
        QVERIFY(!box.ShownAsMarkup);
        QCOMPARE(box.Icon, QMessageBox::Critical);
        QVERIFY(w->Linhas.empty());
    }

    void cancelAsksWithYesAsTheDefault() {
        real->Clicks.push_back(QStringLiteral(u"&Não"));
        QTest::mouseClick(w->cmdCancelar, Qt::LeftButton);
        QCOMPARE(real->Boxes.size(), size_t(1));
        const SeenBox& box = real->Boxes[0];
        QCOMPARE(box.Text, QStringLiteral("Deseja fechar?"));
        QCOMPARE(box.Caption, QStringLiteral(u"Atenção"));
        QCOMPARE(box.Icon, QMessageBox::Information);
        QCOMPARE(box.Buttons, (QStringList{QStringLiteral("&Sim"), QStringLiteral(u"&Não")}));
        QCOMPARE(box.DefaultButton, QStringLiteral("&Sim"));
        QVERIFY(box.Owned);
        QVERIFY(w->isVisible());
    }

    // Settings of a machine set to decimal ".", thousands ",", date "-" and time ".": the
    // pickers' mask, the typed dates, the price and the registration time.
    void regionalSettingsOfTheMachine() {
        DefineConfiguracaoRegional({'.', ',', '-', '.', "dd-MM-yyyy"});
        Open();
        Choose(dir.Write("oferta.csv", "BARRAS;DESCRICAO;PRECO;\r\n0000000000789;PAO;1234.5;\r\n"));
        TypeInto(w->txtCadOferta, QStringLiteral("Regional"));
        TypeInto(w->dtInicio->Edit(), QStringLiteral("01022027"));
        QCOMPARE(w->dtInicio->Edit()->text(), QStringLiteral("01-02-2027"));
        TypeInto(w->dtFim->Edit(), QStringLiteral("28022027"));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QCOMPARE(real->Texts(), QStringList{Sucesso});
        QCOMPARE(One("select concat(data1, ' ', data2) from cadofertas"),
                 std::string("2027-02-01 2027-02-28"));
        QCOMPARE(One("select preco_pro from produto where produto_id = 2"),
                 std::string("1234.5000"));
        const QString registro = QString::fromStdString(One("select dtcadastro from cadofertas"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8} \\d\\d\\.\\d\\d\\.\\d\\d$"))
                     .match(registro)
                     .hasMatch(),
                 qPrintable(registro));
    }
};

CADOFERTAS_QTEST_MAIN(RealHandsTest)
#include "RealHandsTest.moc"
