// The import run against a real server, through a window without a display: the statements as
// the server received them, the tables afterwards, the report's bytes and the viewer's start.
#include "ImportRunFixture.h"
#include "import/OfertaArquivo.h"

namespace fs = std::filesystem;

namespace {

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

// A booklet saved as "CSV UTF-8" (opening with UTF-8's mark) loads as its Windows-1252 twin:
// the same statements, and a report whose descriptions keep their accents.
TEST_F(ImportRun, ABookletSavedAsUtf8ImportsAsItsWindows1252Twin) {
    const std::string cabecalho = "BARRAS;DESCRICAO;PRECO;\r\n7891000100103;ARROZ;12,90;\r\n";
    const std::string cp1252 = cabecalho + "7891000999999;P\xC3O DE A\xC7\xDA"
                                           "CAR;4,99;\r\n";
    const std::string utf8 = "\xEF\xBB\xBF" + cabecalho +
                             "7891000999999;P\xC3\x83O DE A\xC3\x87\xC3\x9A"
                             "CAR;4,99;\r\n";
    std::vector<std::vector<std::string>> enviados;
    std::vector<std::string> relatorios;
    for (const std::string& texto : {cp1252, utf8}) {
        for (const char* t : {"cadofertas", "prodcadofertas"})
            TestServer::Shared().Exec("TRUNCATE TABLE "s + t, Db);
        janela.Arquivo = dir.Write("oferta.csv", texto);
        CarregaLinhas(janela.Arquivo, janela.Linhas);
        enviados.push_back(Importa());
        ASSERT_EQ(erro, "");
        relatorios.push_back(ReadAll("Relatorio.txt"));
    }
    EXPECT_EQ(enviados[1], enviados[0]);
    EXPECT_EQ(relatorios[1], relatorios[0]);
    EXPECT_NE(relatorios[1].find(" 7891000999999    P\xC3O DE A\xC7\xDA"
                                 "CAR"),
              std::string::npos)
        << relatorios[1];
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

} // namespace
