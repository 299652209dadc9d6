// The import run against a real server, through a window without a display: the statements as
// the server received them, the tables afterwards, the report's bytes and the viewer's start.
#include "TempDir.h"
#include "TestServer.h"
#include "connection/ConnectionInfo.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "import/ImportWindow.h"
#include "import/ImportaOfertas.h"
#include "platform/Erro.h"
#include "report/ClassImpressao.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

const char* Db = "loja_imp";
const TDataHora Agora{{2026, 12, 9}, 17, 5, 30};
TDataHora RelogioFixo() {
    return Agora;
}

// The window: what the user entered, and a record of what the run did to it.
class FakeWindow : public ImportWindow {
public:
    std::string Arquivo, CadOferta = "Ofertas de Natal";
    TData Inicio{2026, 12, 10}, Fim{2026, 12, 24};
    bool Promocao = true;

    std::string Descricao;
    int Progresso = 0;
    bool Habilitado = true;
    std::vector<Controle> Focos;
    std::vector<std::string> Mensagens;
    int Processamentos = 0;
    std::function<void(int)> AoProcessar; // receives the count, 1 for the one at the start

    std::string TextoArquivo() override { return Arquivo; }
    std::string TextoCadOferta() override { return CadOferta; }
    TData DataInicio() override { return Inicio; }
    TData DataFim() override { return Fim; }
    bool PromocaoMarcada() override { return Promocao; }
    void DefineDescricao(const std::string& t) override { Descricao = t; }
    void ZeraProgresso() override { Progresso = 0; }
    void AvancaProgresso() override { ++Progresso; }
    void HabilitaImportar(bool h) override { Habilitado = h; }
    void Foca(Controle c) override { Focos.push_back(c); }
    void Mensagem(const std::string& t) override { Mensagens.push_back(t); }
    void ProcessaMensagens() override {
        ++Processamentos;
        if (AoProcessar)
            AoProcessar(Processamentos);
    }
};

class ImportRun : public testing::Test {
protected:
    static void SetUpTestSuite() { TestServer::Shared().CreateStoreDatabase(Db); }

    void SetUp() override {
        auto& s = TestServer::Shared();
        for (const char* t : {"produto", "barras", "cadofertas", "prodcadofertas"})
            s.Exec("TRUNCATE TABLE "s + t, Db);
        s.Exec("DROP TRIGGER IF EXISTS recusa", Db);
        s.Exec("INSERT INTO produto (produto_id, barras, descricao, preco, apagado, tipo) VALUES "
               "(11, '7891000100103', 'ARROZ', 24.9, 'N', 'P'),"
               "(12, '0000000000789', 'PAO', 14.9, 'N', 'P'),"
               "(13, '7891000300305', 'OLEO', 7.99, 'S', 'P'),"
               "(14, '7891000400401', 'ACUCAR', 4.79, 'N', 'I'),"
               "(15, '7891000500507', 'CAFE', 17.9, 'N', 'P')",
               Db);
        s.Exec("INSERT INTO barras (produto_id, barras, apagado) VALUES "
               "(13, '7891000300312', 'N'), (14, '7891000400418', 'N'), (15, '7891000500514', 'S')",
               Db);
        conexao.SetServer(s.Address());
        conexao.SetUsername("root");
        conexao.SetPassword(TestServer::RootPassword);
        conexao.SetDatabase(Db);
        conexao.SetCharset("latin1");
        codLoja = "C";
        fs::remove("Relatorio.txt");
        fs::remove(ViewerLog());
        setenv("CADOFERTAS_FAKE_VIEWER_LOG", ViewerLog().c_str(), 1);
    }

    static std::string ViewerLog() { return (fs::current_path() / "viewer.log").string(); }

    // Writes the offer file, loads its lines into the window as the file choice does.
    void Oferta(const std::vector<std::string>& linhasDeDados) {
        std::string texto = "BARRAS;DESCRICAO;PRECO;\r\n";
        janela.Linhas = {"BARRAS;DESCRICAO;PRECO;"};
        for (auto& l : linhasDeDados) {
            texto += l + "\r\n";
            janela.Linhas.push_back(l);
        }
        janela.Arquivo = dir.Write("oferta.csv", texto);
    }

    // Runs the import; returns the statements the run sent, as the server logged them.
    std::vector<std::string> Importa() {
        auto& s = TestServer::Shared();
        long admin = std::stol(s.Scalar("SELECT CONNECTION_ID()"));
        size_t mark = s.Mark();
        TContextoImportacao ctx{QTemp, QProd, codLoja};
        ctx.Formato = formato;
        ctx.Relogio = RelogioFixo;
        ctx.NomeRelatorio = nomeRelatorio;
        try {
            ImportaOfertas(janela, ctx);
        } catch (const EErro& e) {
            erro = e.Message();
        } catch (const EAbort&) {
            abortou = true;
        }
        std::vector<std::string> enviados;
        for (auto& e : s.Since(mark))
            if (e.Command == "Query" && e.Thread != admin)
                enviados.push_back(e.Argument);
        return enviados;
    }

    std::string Um(const std::string& sql) { return TestServer::Shared().Scalar(sql, Db); }
    std::vector<Row> Linhas(const std::string& sql) { return TestServer::Shared().Query(sql, Db); }

    static std::string Found(const std::string& b) {
        return "select * from produto where barras = \"" + b +
               "\" and apagado <> \"S\" and tipo <> \"I\"";
    }
    static std::string Alt(const std::string& b) {
        return "select * from barras where barras = \"" + b + "\" and apagado <> \"S\"";
    }

    // Waits for the stand-in viewer's record; empty when none came.
    std::string ViewerRecord(bool expectOne) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(expectOne ? 20 : 1);
        while (std::chrono::steady_clock::now() < deadline) {
            if (fs::exists(ViewerLog())) {
                std::string r = ReadAll(ViewerLog());
                if (r.find("end\n") != std::string::npos)
                    return r;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return fs::exists(ViewerLog()) ? ReadAll(ViewerLog()) : "";
    }

    TempDir dir;
    TMyConnection conexao;
    TMyQuery QTemp{"QTemp", conexao};
    TMyQuery QProd{"QProd", conexao};
    FakeWindow janela;
    std::string erro;
    bool abortou = false;
    std::string codLoja; // the store code the run is given
    std::string nomeRelatorio = "Relatorio.txt";
    TFormatSettings formato = TFormatSettings::BrasilPadrao();
};

// A value as a statement must carry it between double quotes: every quote doubled, and every
// backslash doubled where backslashes escape.
std::string Escaped(const std::string& value, bool backslashesEscape) {
    std::string out;
    for (char c : value) {
        if (c == '"' || (c == '\\' && backslashesEscape))
            out += c;
        out += c;
    }
    return out;
}

// Every byte value from 1 to 255 but the two line ends and the field separator.
std::string EveryByte() {
    std::string all;
    for (int b = 1; b <= 255; ++b)
        if (b != '\r' && b != '\n' && b != ';')
            all += static_cast<char>(b);
    return all;
}

TEST_F(ImportRun, TheTypicalRequestSendsTheTemplatesInOrder) {
    Oferta({"7891000100103;ARROZ TIPO 1 5 KG;12,90;", "7891000999999;NAO EXISTE;9,99;"});
    auto sent = Importa();
    ASSERT_EQ(erro, "");
    const std::string id = Um("select max(cadofertas_id) from cadofertas");
    std::vector<std::string> expected = {
        "insert into cadofertas (descricao, dtcadastro, data1, data2, lojas_leram) values "
        "(\"Ofertas de Natal\", \"20261209 17:05:30\", \"20261210\", \"20261224\", \"C\")",
        "SELECT LAST_INSERT_ID()",
        Found("7891000100103"),
        "select * from prodcadofertas where cadofertas_id = " + id + " and produto_id = 11",
        "insert into prodcadofertas (cadofertas_id, produto_id, lojas_leram, pre_promo) values "
        "(\"" +
            id + "\", \"11\", \"C\", \"12.9\")",
        "update produto set dtiniciopromocao = \"20261210\", valid_pro = \"20261224\", preco_pro = "
        "12.9, lojas_leram = \"C\" where produto_id = 11",
        Found("7891000999999"),
        Alt("7891000999999")};
    EXPECT_EQ(sent, expected);

    auto booklet =
        Linhas("select descricao, dtcadastro, data1, data2, lojas_leram from cadofertas");
    ASSERT_EQ(booklet.size(), 1u);
    EXPECT_EQ(booklet[0],
              (Row{"Ofertas de Natal", "20261209 17:05:30", "2026-12-10", "2026-12-24", "C"}));
    EXPECT_EQ(Linhas("select dtiniciopromocao, valid_pro, preco_pro, lojas_leram from produto "
                     "where produto_id = 11")[0],
              (Row{"2026-12-10", "2026-12-24", "12.9000", "C"}));
    EXPECT_EQ(Linhas("select cadofertas_id, produto_id, pre_promo, apagado, lojas_leram from "
                     "prodcadofertas"),
              (std::vector<Row>{{id, "11", "12.9000", "N", "C"}}));

    EXPECT_EQ(janela.Mensagens, std::vector<std::string>{"Importação concluída com sucesso!!!"});
    EXPECT_EQ(janela.Parar, "S");
    EXPECT_TRUE(janela.Habilitado);
    EXPECT_EQ(janela.Descricao, "");
    EXPECT_EQ(janela.Progresso, 0);
    EXPECT_EQ(janela.Processamentos, 3); // at the start and after each line

    std::string report = ReadAll("Relatorio.txt");
    EXPECT_NE(report.find("  "
                          " 7891000999999    " +
                          std::string("NAO EXISTE") + std::string(40, ' ') + " " +
                          "      9,99\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("  Total Produtos não importados: 1\r\n"), std::string::npos);
    EXPECT_NE(report.find("          BARRAS    DESCRICAO"), std::string::npos);
    std::string viewer = ViewerRecord(true);
    EXPECT_NE(viewer.find("arg=Relatorio.txt\narg=132\n"), std::string::npos) << viewer;
    EXPECT_EQ(viewer.find("start", 1), std::string::npos) << "started more than once";
}

TEST_F(ImportRun, AFileWithOnlyTheHeadingWritesTheBookletAndNoReport) {
    Oferta({});
    auto sent = Importa();
    EXPECT_EQ(erro, "");
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(Um("select count(*) from cadofertas"), "1");
    EXPECT_FALSE(fs::exists("Relatorio.txt"));
    EXPECT_EQ(janela.Mensagens, std::vector<std::string>{"Importação concluída com sucesso!!!"});
    EXPECT_EQ(ViewerRecord(false), "");
}

TEST_F(ImportRun, AnEmptyListIsRefusedWithoutWritingAnything) {
    Oferta({});
    janela.Linhas.clear();
    auto sent = Importa();
    EXPECT_TRUE(sent.empty());
    EXPECT_FALSE(abortou); // this check simply returns
    EXPECT_EQ(janela.Mensagens,
              std::vector<std::string>{"Não existem dados para serem importados."});
    EXPECT_EQ(janela.Focos,
              std::vector<ImportWindow::Controle>{ImportWindow::Controle::txtArquivo});
    EXPECT_EQ(janela.Parar, "S");
}

struct RefusalRow {
    const char* name;
    std::function<void(FakeWindow&)> change;
    std::string message;
    ImportWindow::Controle focus;
};

TEST_F(ImportRun, RefusedInputsShowTheirMessageMoveTheFocusAndAbortSilently) {
    using C = ImportWindow::Controle;
    const RefusalRow rows[] = {
        {"no_file", [](FakeWindow& w) { w.Arquivo = " \t "; },
         "Selecione um arquivo para a importação.", C::txtArquivo},
        {"missing_file", [](FakeWindow& w) { w.Arquivo += ".nao"; }, "O arquivo não existe.",
         C::txtArquivo},
        {"a_folder", [](FakeWindow& w) { w.Arquivo = fs::path(w.Arquivo).parent_path().string(); },
         "O arquivo não existe.", C::txtArquivo},
        {"no_name", [](FakeWindow& w) { w.CadOferta = "\x01  \r\n"; },
         "Defina um nome para o caderno de oferta.", C::txtCadOferta},
        {"end_before_start",
         [](FakeWindow& w) {
             w.Fim = {2026, 12, 9};
         },
         "A data do início da promoção não pode ser maior que a data do término da promoção.",
         C::dtInicio},
    };
    for (const auto& row : rows) {
        Oferta({"7891000100103;ARROZ;1;"});
        janela.Mensagens.clear();
        janela.Focos.clear();
        janela.CadOferta = "Ofertas";
        janela.Fim = janela.Inicio;
        abortou = false;
        row.change(janela);
        auto sent = Importa();
        EXPECT_TRUE(abortou) << row.name;
        EXPECT_TRUE(sent.empty()) << row.name;
        EXPECT_EQ(janela.Mensagens, std::vector<std::string>{row.message}) << row.name;
        EXPECT_EQ(janela.Focos, std::vector<ImportWindow::Controle>{row.focus}) << row.name;
    }
    // Equal dates pass, and the file is checked with its name trimmed.
    Oferta({});
    janela.CadOferta = "Ofertas";
    janela.Arquivo = "  " + janela.Arquivo + " \r\n";
    janela.Fim = janela.Inicio;
    abortou = false;
    Importa();
    EXPECT_FALSE(abortou);
    EXPECT_EQ(Um("select count(*) from cadofertas"), "1");
}

TEST_F(ImportRun, TheSameProductTwiceIsLinkedOnceAndKeepsTheLastPrice) {
    // 7891000300312 is the alternative barcode of product 13, whose own row is deleted.
    Oferta({"7891000100103;ARROZ;10,00;", "7891000300312;OLEO;5,50;", "7891000100103;ARROZ;8,75;"});
    auto sent = Importa();
    ASSERT_EQ(erro, "");
    const std::string id = Um("select max(cadofertas_id) from cadofertas");
    EXPECT_EQ(Linhas("select produto_id, pre_promo from prodcadofertas order by produto_id"),
              (std::vector<Row>{{"11", "10.0000"}, {"13", "5.5000"}}));
    EXPECT_EQ(Um("select preco_pro from produto where produto_id = 11"), "8.7500");
    EXPECT_EQ(Um("select preco_pro from produto where produto_id = 13"), "5.5000");
    EXPECT_NE(std::find(sent.begin(), sent.end(),
                        "update prodcadofertas set apagado = \"N\", lojas_leram = \"C\" where "
                        "cadofertas_id = " +
                            id + " and produto_id = 11"),
              sent.end());
    EXPECT_EQ(sent[2], Found("7891000100103"));
    EXPECT_EQ(sent[6], Found("7891000300312"));
    EXPECT_EQ(sent[7], Alt("7891000300312"));
    EXPECT_FALSE(fs::exists("Relatorio.txt"));
}

TEST_F(ImportRun, DeletedAndInactiveProductsAndDeletedBarcodesAreNotFound) {
    // 13 deleted (only its barcode row finds it), 14 inactive (found through barras),
    // 15 found in produto, but its deleted alternative barcode finds nothing.
    Oferta({"7891000300305;OLEO;1;", "7891000400401;ACUCAR;1;", "7891000400418;ACUCAR ALT;2;",
            "7891000500514;CAFE ALT;3;"});
    Importa();
    ASSERT_EQ(erro, "");
    EXPECT_EQ(Linhas("select produto_id from prodcadofertas"), (std::vector<Row>{{"14"}}));
    std::string report = ReadAll("Relatorio.txt");
    for (const char* missing : {"7891000300305", "7891000400401", "7891000500514"})
        EXPECT_NE(report.find(missing), std::string::npos) << missing;
    EXPECT_NE(report.find("Total Produtos não importados: 3"), std::string::npos);
}

TEST_F(ImportRun, WithoutTheCheckBoxTheLinkStillCarriesThePriceButTheProductKeepsItsOwn) {
    Oferta({"7891000100103;ARROZ;12,90;"});
    janela.Promocao = false;
    auto sent = Importa();
    ASSERT_EQ(erro, "");
    EXPECT_EQ(sent.back(),
              "update produto set dtiniciopromocao = \"20261210\", valid_pro = \"20261224\", "
              "lojas_leram = \"C\" where produto_id = 11");
    EXPECT_EQ(Um("select pre_promo from prodcadofertas"), "12.9000");
    EXPECT_EQ(Um("select preco_pro is null from produto where produto_id = 11"), "1");
}

TEST_F(ImportRun, TheCheckBoxAndTheDatesAreReadAnewForEveryProduct) {
    Oferta({"7891000100103;ARROZ;1;", "0000000000789;PAO;2;"});
    janela.AoProcessar = [&](int n) {
        if (n == 2) { // after the first line
            janela.Promocao = false;
            janela.Fim = {2027, 1, 31};
        }
    };
    Importa();
    ASSERT_EQ(erro, "");
    EXPECT_EQ(
        Linhas("select produto_id, valid_pro, preco_pro from produto where produto_id in (11, 12) "
               "order by 1"),
        (std::vector<Row>{{"11", "2026-12-24", "1.0000"}, {"12", "2027-01-31", std::nullopt}}));
    EXPECT_EQ(Um("select data2 from cadofertas"),
              "2026-12-24"); // the booklet keeps the first reading
}

TEST_F(ImportRun, AStopAtTheFirstChanceLeavesTheBookletWithoutLinks) {
    Oferta({"7891000999999;NAO EXISTE;1;", "7891000100103;ARROZ;1;"});
    janela.AoProcessar = [&](int n) {
        if (n == 1)
            janela.Parar = "S";
    };
    auto sent = Importa();
    EXPECT_EQ(erro, "");
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(Um("select count(*) from cadofertas"), "1");
    EXPECT_EQ(Um("select count(*) from prodcadofertas"), "0");
    EXPECT_TRUE(janela.Mensagens.empty());
    EXPECT_EQ(janela.Descricao, "");
    EXPECT_TRUE(janela.Habilitado);
    EXPECT_EQ(janela.Parar, "S");
    EXPECT_FALSE(fs::exists("Relatorio.txt"));
}

TEST_F(ImportRun, AStopLaterKeepsTheEarlierLinesAndSavesNoReport) {
    Oferta({"7891000999999;NAO EXISTE;1;", "7891000100103;ARROZ;1;", "0000000000789;PAO;2;"});
    janela.AoProcessar = [&](int n) {
        if (n == 3) // after the second line
            janela.Parar = "S";
    };
    Importa();
    EXPECT_EQ(erro, "");
    EXPECT_EQ(Linhas("select produto_id from prodcadofertas"), (std::vector<Row>{{"11"}}));
    EXPECT_FALSE(fs::exists("Relatorio.txt"));
    EXPECT_EQ(ViewerRecord(false), "");
    EXPECT_TRUE(janela.Mensagens.empty());
    EXPECT_EQ(janela.Progresso, 0);
}

TEST_F(ImportRun, AStopAfterTheLastLineComesTooLate) {
    Oferta({"7891000999999;NAO EXISTE;1;"});
    janela.AoProcessar = [&](int n) {
        if (n == 2)
            janela.Parar = "S";
    };
    Importa();
    EXPECT_TRUE(fs::exists("Relatorio.txt"));
    EXPECT_EQ(janela.Mensagens, std::vector<std::string>{"Importação concluída com sucesso!!!"});
}

TEST_F(ImportRun, ABadPriceEndsTheRunAfterTheEarlierLines) {
    Oferta({"7891000100103;ARROZ;1,00;", "0000000000789;PAO;1.234,56;", "7891000500507;CAFE;3;"});
    Importa();
    EXPECT_EQ(erro, "'1.234,56' is not a valid floating point value");
    EXPECT_EQ(Linhas("select produto_id from prodcadofertas"), (std::vector<Row>{{"11"}}));
    // The failed state: the window stays as the error found it.
    EXPECT_EQ(janela.Parar, "N");
    EXPECT_FALSE(janela.Habilitado);
    EXPECT_EQ(janela.Descricao, "Importando os dados. Aguarde...");
    EXPECT_EQ(janela.Progresso, 1);
    EXPECT_TRUE(janela.Mensagens.empty());
}

TEST_F(ImportRun, ALineWithoutAPriceFieldIsABadPrice) {
    Oferta({"7891000100103;ARROZ;1,00"});
    Importa();
    EXPECT_EQ(erro, "'' is not a valid floating point value");
}

TEST_F(ImportRun, AStatementTheServerRejectsEndsTheRunWithTheHandlesName) {
    TestServer::Shared().Exec(
        "CREATE TRIGGER recusa BEFORE UPDATE ON produto FOR EACH ROW "
        "IF NEW.produto_id = 12 THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = "
        "'produto bloqueado'; END IF",
        Db);
    Oferta({"7891000100103;ARROZ;1;", "0000000000789;PAO;2;", "7891000500507;CAFE;3;"});
    Importa();
    EXPECT_EQ(erro, "QTemp: produto bloqueado");
    // The link of the failing line came before the rejected update, and stays.
    EXPECT_EQ(Linhas("select produto_id from prodcadofertas order by 1"),
              (std::vector<Row>{{"11"}, {"12"}}));
    EXPECT_EQ(janela.Parar, "N");
}

TEST_F(ImportRun, ARejectedQueryCarriesTheServersTextAlone) {
    TestServer::Shared().Exec("RENAME TABLE barras TO barras_antigo", Db);
    Oferta({"7891000999999;NAO EXISTE;1;"});
    Importa();
    TestServer::Shared().Exec("RENAME TABLE barras_antigo TO barras", Db);
    EXPECT_EQ(erro, "Table 'loja_imp.barras' doesn't exist");
}

TEST_F(ImportRun, HostileNamesAndBarcodesAreStoredExactlyInBothModes) {
    std::string all;
    for (int b = 1; b <= 255; ++b)
        if (b != '\r' && b != '\n' && b != ';')
            all += static_cast<char>(b);
    const std::string name = "Natal \"especial\" \\ 'aspas' \\\" fim\\" + all;
    TestServer::Shared().Exec(
        "INSERT INTO produto (produto_id, barras) VALUES (20, '000012\"34\\\\5''6')", Db);
    for (const char* mode : {"DEFAULT", "'NO_BACKSLASH_ESCAPES'"}) {
        TestServer::Shared().Exec("TRUNCATE TABLE cadofertas", Db);
        TestServer::Shared().Exec("TRUNCATE TABLE prodcadofertas", Db);
        QTemp.SetSQL("SET SESSION sql_mode = "s + mode);
        QTemp.Execute();
        Oferta({"12\"34\\5'6;ASPAS;1;", "\" or \"\"=\";INJECAO;1;"});
        janela.CadOferta = name;
        Importa();
        ASSERT_EQ(erro, "") << mode;
        EXPECT_EQ(Um("select descricao from cadofertas"), name) << mode;
        EXPECT_EQ(Linhas("select produto_id from prodcadofertas"), (std::vector<Row>{{"20"}}))
            << mode;
        EXPECT_NE(ReadAll("Relatorio.txt").find(" 0000\" or \"\"=\"    INJECAO"), std::string::npos)
            << mode;
    }
}

TEST_F(ImportRun, LinesReplacedDuringTheRunAreNeverReadPastTheirEnd) {
    Oferta({"7891000100103;ARROZ;1;", "0000000000789;PAO;2;", "7891000500507;CAFE;3;"});
    janela.AoProcessar = [&](int n) {
        if (n == 2)
            janela.Linhas = {"X;Y;Z;"};
    };
    Importa();
    EXPECT_EQ(erro, "");
    EXPECT_EQ(Linhas("select produto_id from prodcadofertas"), (std::vector<Row>{{"11"}}));
    EXPECT_EQ(janela.Mensagens, std::vector<std::string>{"Importação concluída com sucesso!!!"});
}

TEST_F(ImportRun, BarcodesOfEveryByteFindTheirProductsAndNeverChangeAStatement) {
    // Six barcodes of 42 bytes hold every byte value; each names one product (written by its
    // hexadecimal form, so that this test's own statements need no escaping).
    const std::string all = EveryByte();
    ASSERT_EQ(all.size(), 252u);
    std::vector<std::string> pieces;
    for (size_t i = 0; i < all.size(); i += 42)
        pieces.push_back(all.substr(i, 42));
    for (size_t k = 0; k < pieces.size(); ++k) {
        TestServer::Shared().Exec("INSERT INTO produto (produto_id, barras) VALUES (" +
                                      std::to_string(100 + k) + ", X'" +
                                      TConnectionInfo::StrToHex(pieces[k]) + "')",
                                  Db);
        ASSERT_EQ(Um("select count(*) from produto where barras = X'" +
                     TConnectionInfo::StrToHex(pieces[k]) + "'"),
                  "1");
    }
    // A name that opens with a quote, ends with a backslash and holds every byte between.
    const std::string name = "\"'\\" + all + "\\\"\\";
    const std::string missing = "\\\" or 1=1 -- \\";
    for (bool noBackslashEscapes : {false, true}) {
        SCOPED_TRACE(noBackslashEscapes ? "NO_BACKSLASH_ESCAPES" : "default mode");
        TestServer::Shared().Exec("TRUNCATE TABLE cadofertas", Db);
        TestServer::Shared().Exec("TRUNCATE TABLE prodcadofertas", Db);
        TestServer::Shared().Exec("UPDATE produto SET lojas_leram = ''", Db);
        QTemp.SetSQL(noBackslashEscapes ? "SET SESSION sql_mode = 'NO_BACKSLASH_ESCAPES'"
                                        : "SET SESSION sql_mode = DEFAULT");
        QTemp.Execute();
        std::vector<std::string> lines;
        for (const auto& p : pieces)
            lines.push_back(p + ";PECA;1;");
        lines.push_back(missing + ";FALTA;2;");
        Oferta(lines);
        janela.CadOferta = name;
        auto sent = Importa();
        ASSERT_EQ(erro, "");
        EXPECT_EQ(Um("select descricao from cadofertas"), name);
        EXPECT_EQ(Um("select group_concat(produto_id order by produto_id) from prodcadofertas"),
                  "100,101,102,103,104,105");
        EXPECT_EQ(Um("select count(*) from produto where lojas_leram <> ''"), "6");
        // Each value went out escaped and nothing else of the statements changed.
        const bool escapes = !noBackslashEscapes;
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent[0], "insert into cadofertas (descricao, dtcadastro, data1, data2, "
                           "lojas_leram) values (\"" +
                               Escaped(name, escapes) +
                               "\", \"20261209 17:05:30\", \"20261210\", \"20261224\", \"C\")");
        std::vector<std::string> lookups;
        for (const auto& q : sent)
            if (q.rfind("select * from produto ", 0) == 0)
                lookups.push_back(q);
        std::vector<std::string> expected;
        for (const auto& p : pieces)
            expected.push_back(Found(Escaped(p, escapes)));
        expected.push_back(Found(Escaped(missing, escapes)));
        EXPECT_EQ(lookups, expected);
        EXPECT_EQ(sent.back(), Alt(Escaped(missing, escapes)));
        EXPECT_NE(ReadAll("Relatorio.txt").find(" " + missing.substr(0, 13) + "    FALTA"),
                  std::string::npos);
    }
    QTemp.SetSQL("SET SESSION sql_mode = DEFAULT");
    QTemp.Execute();
}

TEST_F(ImportRun, AHundredKilobyteNameIsStoredWholeOrRefusedWhole) {
    std::string name = "N";
    while (name.size() < 100 * 1024)
        name += EveryByte() + "\"\\'";
    name += "Z";
    const std::string longBarcode = "7" + std::string(100 * 1024, '\\') + "\"";
    Oferta({"7891000100103;ARROZ;1;", longBarcode + ";LONGO;2;"});
    janela.CadOferta = name;
    // A TEXT column holds 64 KB: under the server's strict mode the booklet is refused whole.
    Importa();
    EXPECT_EQ(erro, "QTemp: Data too long for column 'descricao' at row 1");
    EXPECT_EQ(Um("select count(*) from cadofertas"), "0");
    EXPECT_EQ(Um("select count(*) from prodcadofertas"), "0");

    TestServer::Shared().Exec("ALTER TABLE cadofertas MODIFY descricao MEDIUMTEXT NOT NULL", Db);
    for (const char* mode : {"DEFAULT", "'NO_BACKSLASH_ESCAPES'"}) {
        SCOPED_TRACE(mode);
        TestServer::Shared().Exec("TRUNCATE TABLE cadofertas", Db);
        TestServer::Shared().Exec("TRUNCATE TABLE prodcadofertas", Db);
        QTemp.SetSQL("SET SESSION sql_mode = "s + mode);
        QTemp.Execute();
        erro.clear();
        auto sent = Importa();
        EXPECT_EQ(erro, "");
        EXPECT_EQ(Um("select length(descricao) from cadofertas"), std::to_string(name.size()));
        EXPECT_EQ(Um("select descricao from cadofertas"), name);
        EXPECT_EQ(Um("select produto_id from prodcadofertas"), "11");
        // The long barcode was looked up whole, in both tables.
        EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                                [&](const std::string& q) {
                                    return q.find(Escaped(longBarcode, mode[0] == 'D')) !=
                                           std::string::npos;
                                }),
                  2);
        EXPECT_NE(ReadAll("Relatorio.txt").find(" " + longBarcode.substr(0, 13) + "    LONGO"),
                  std::string::npos);
    }
    TestServer::Shared().Exec("TRUNCATE TABLE cadofertas", Db);
    TestServer::Shared().Exec("ALTER TABLE cadofertas MODIFY descricao TEXT NOT NULL", Db);
    QTemp.SetSQL("SET SESSION sql_mode = DEFAULT");
    QTemp.Execute();
}

TEST_F(ImportRun, AReportWhoseFolderIsAFileEndsTheRunWithoutTheViewer) {
    Oferta({"7891000100103;ARROZ;1;", "7891000999999;NAO EXISTE;9,99;"});
    const std::string file = dir.Write("um-arquivo", "x");
    nomeRelatorio = file + "/Relatorio.txt";
    Importa();
    EXPECT_EQ(erro, "Cannot create file \"" + nomeRelatorio + "\". Not a directory");
    EXPECT_EQ(Linhas("select produto_id from prodcadofertas"), (std::vector<Row>{{"11"}}));
    EXPECT_EQ(janela.Parar, "N");
    EXPECT_FALSE(janela.Habilitado);
    EXPECT_TRUE(janela.Mensagens.empty());
    EXPECT_EQ(ReadAll(file), "x");
    EXPECT_EQ(ViewerRecord(false), "");
}

// Without the store's code nothing may be written: every row would lose its stamp.
TEST_F(ImportRun, AnUnknownStoreIsRefusedBeforeAnyStatement) {
    Oferta({"7891000100103;ARROZ;12,90;"});
    codLoja.clear();
    auto sent = Importa();
    EXPECT_TRUE(abortou);
    EXPECT_TRUE(sent.empty());
    ASSERT_EQ(janela.Mensagens.size(), 1u);
    EXPECT_EQ(janela.Mensagens[0],
              "N\xE3o foi poss\xEDvel identificar a loja, e sem ela os dados n\xE3o podem ser "
              "importados. Corrija as configura\xE7\xF5"
              "es de conex\xE3o e abra o programa novamente.");
    EXPECT_EQ(janela.Focos, std::vector{ImportWindow::Controle::cmdImportar});
    EXPECT_EQ(janela.Parar, "S");
    EXPECT_TRUE(janela.Habilitado);
}

// The saved report of products not imported, as the layout draws it: a line end, then on every
// page the date line, the title block (title centred in 127 columns, rules, column heads) and up
// to 62 body lines on page 1, 60 on later ones; a page begins with a form feed after the first;
// every line indented two columns and ended by CR LF.
std::string RelatorioEsperado(const std::vector<std::string>& corpo, const std::string& dataHora) {
    const std::string regua = "  " + std::string(127, '-');
    const std::string titulos =
        "  " + std::string(30, ' ') +
        "R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S" +
        std::string(30, ' ') + "\r\n" + regua + "\r\n" +
        "          BARRAS    DESCRICAO                                               PRECO\r\n" +
        regua + "\r\n";
    std::string bytes = "\r\n";
    size_t proxima = 0;
    for (int pagina = 1;; ++pagina) {
        const std::string numero = "Pagina " + std::to_string(pagina);
        bytes += (pagina > 1 ? "\f\r\n" : "\r\n") + ("  Data/Hora " + dataHora) +
                 std::string(100 - numero.size(), ' ') + numero + "\r\n" + titulos;
        const size_t capacidade = pagina == 1 ? 62 : 60;
        const size_t inicio = proxima;
        const size_t fim = std::min(corpo.size(), proxima + capacidade);
        for (; proxima < fim; ++proxima)
            bytes += "  " + corpo[proxima] + "\r\n";
        // A page that fills up is followed by another, even after the last line.
        if (proxima == corpo.size() && fim - inicio < capacidade)
            break;
    }
    return bytes;
}

// One run under decimal ".", thousands ",", date "-" and time ".": the registration time, a
// price of "1234.5" accepted, and the whole Relatorio.txt, byte for byte, with grouped prices
// and a grouped total on its many pages.
TEST_F(ImportRun, UnderOtherRegionalSettingsTheRunAndTheWholeReportFollowThem) {
    formato = {'.', ',', '-', '.', "dd-MM-yyyy"};
    const int faltando = 1234;
    std::vector<std::string> linhas{"7891000100103;ARROZ;1234.5;"};
    std::vector<std::string> corpo;
    for (int i = 1; i <= faltando; ++i) {
        const std::string barras = std::to_string(990000 + i);
        const std::string descricao = "PRODUTO \xC7\xC3O " + std::to_string(i);
        linhas.push_back(barras + ";" + descricao + ";" + std::to_string(i * 7) + ".5;");
        const int reais = i * 7; // below a million: one thousands separator at most
        char preco[16];
        if (reais >= 1000)
            std::snprintf(preco, sizeof preco, "%d,%03d.50", reais / 1000, reais % 1000);
        else
            std::snprintf(preco, sizeof preco, "%d.50", reais);
        const std::string precoTexto = preco;
        corpo.push_back(" 0000000" + barras + "    " + descricao +
                        std::string(50 - descricao.size(), ' ') + " " +
                        std::string(10 - precoTexto.size(), ' ') + precoTexto);
    }
    corpo.push_back(std::string(127, '-'));
    corpo.push_back("Total Produtos n\xE3o importados: 1,234");
    Oferta(linhas);
    auto sent = Importa();
    ASSERT_EQ(erro, "");
    ASSERT_FALSE(sent.empty());
    EXPECT_NE(sent[0].find("\"20261209 17.05.30\", \"20261210\", \"20261224\""), std::string::npos)
        << sent[0];
    EXPECT_EQ(Um("select preco_pro from produto where produto_id = 11"), "1234.5000");
    EXPECT_EQ(Um("select pre_promo from prodcadofertas"), "1234.5000");
    EXPECT_EQ(ReadAll("Relatorio.txt"), RelatorioEsperado(corpo, "09-12-2026 17.05"));
    EXPECT_NE(ViewerRecord(true).find("arg=Relatorio.txt\narg=132\n"), std::string::npos);
}

TEST(ImportStatements, RegistrationTimeUsesTheRegionalTimeSeparator) {
    EXPECT_EQ(TextoRegistro({{2026, 1, 2}, 3, 4, 5}, ':'), "20260102 03:04:05");
    EXPECT_EQ(TextoRegistro({{2026, 1, 2}, 23, 59, 0}, '.'), "20260102 23.59.00");
}

} // namespace
