// The window on a Brazilian Windows (under Wine, with the host's pt_BR.UTF-8 locale): a booklet
// in C:\users\João\Promoções de Março, a user folder and a folder with accents, chosen through
// the system's own file dialog, its path typed into the dialog's name field; the field shows the
// path as written, the booklet is imported, and the report is written in the folder the program
// works in, also one with accents.
#include "Conf.h"
#include "QtTestMain.h"
#include "RealDialogs.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "WindowFixture.h"
#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "ui/ConfiguracaoRegional.h"
#include "ui/UImportarCadOferta.h"

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <windows.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {
const std::string Db = "loja_acentos";
const std::wstring Usuario = L"C:\\users\\Jo\u00E3o";
const std::wstring Promocoes = Usuario + L"\\Promo\u00E7\u00F5es de Mar\u00E7o";
const std::wstring Oferta = Promocoes + L"\\ofertas de mar\u00E7o.csv";
} // namespace

class CaminhoAcentuadoTest : public QObject, private WindowFixture {
    Q_OBJECT

    std::unique_ptr<RealDialogs> real;
    fs::path anterior = fs::current_path();

    static TestServer& S() { return TestServer::Shared(); }
    static std::string One(const std::string& sql) { return S().Scalar(sql, Db); }

private slots:
    void initTestCase() {
        QCOMPARE(GetACP(), 1252u); // a Brazilian Windows: Wine with the host's pt_BR.UTF-8
        CreateStore(Db);
        PointConfAtStore(Db);
        DefineConfiguracaoRegional(TFormatSettings::BrasilPadrao());
        std::error_code e;
        fs::remove_all(fs::path(Usuario), e);
        fs::create_directories(fs::path(Promocoes));
        WriteAll(fs::path(Oferta), "BARRAS;DESCRICAO;PRECO;\r\n7891000100103;ARROZ;12,90;\r\n"
                                   "7899999999999;P\xC3O DE A\xC7\xDA"
                                   "CAR;4,99;\r\n");
        // The program works in the booklet's folder: the report goes there.
        QVERIFY(SetCurrentDirectoryW(Promocoes.c_str()));
    }

    void cleanupTestCase() {
        w.reset();
        dm.reset();
        real.reset();
        RemoveConfBesideProgram();
        TConnectionInfo::Liberar();
        TIdentificacaoServidor::Liberar();
        fs::current_path(anterior);
        std::error_code e;
        fs::remove_all(fs::path(Usuario), e);
    }

    void aBookletInFoldersWithAccentsChosenThroughTheSystemsDialog() {
        for (const char* t : {"produto", "cadofertas", "prodcadofertas"})
            S().Exec(std::string("TRUNCATE TABLE ") + t, Db);
        S().Exec("INSERT INTO produto (produto_id, barras, lojas_leram) VALUES "
                 "(1, '7891000100103', 'Z')",
                 Db);
        real = std::make_unique<RealDialogs>();
        Open();
        const QString caminho = QString::fromStdWString(Oferta);
        real->Files.push_back(caminho);
        QTest::mouseClick(w->sbArquivo, Qt::LeftButton);
        QTRY_VERIFY(w->isActiveWindow());
        QCOMPARE(real->FileDialogs, 1);
        QCOMPARE(real->Texts(), QStringList{});
        QCOMPARE(w->txtArquivo->text(), caminho);
        QCOMPARE(w->Linhas.size(), size_t(3));
        // Qt Test types ASCII only (the installer's session types accents on a real keyboard).
        w->txtCadOferta->setText(QStringLiteral(u"Ofertas de Março"));
        QTest::mouseClick(w->cmdImportar, Qt::LeftButton);
        QTRY_COMPARE(real->Texts(),
                     QStringList{QStringLiteral(u"Importação concluída com sucesso!!!")});
        QCOMPARE(One("select hex(descricao) from cadofertas"),
                 std::string("4F666572746173206465204D6172E76F"));
        QCOMPARE(One("select count(*) from prodcadofertas"), std::string("1"));
        const fs::path relatorio = fs::path(Promocoes) / L"Relatorio.txt";
        QVERIFY(fs::exists(relatorio));
        QVERIFY(ReadAll(relatorio).find("7899999999999    P\xC3O DE A\xC7\xDA"
                                        "CAR") != std::string::npos);
    }
};

CADOFERTAS_QTEST_MAIN(CaminhoAcentuadoTest)
#include "CaminhoAcentuadoJanelaTest.moc"
