// The import run on hostile input (names and barcodes of every byte, huge names, a report
// that cannot be written, an unknown store) and under other regional settings, against a real
// server.
#include "ImportRunFixture.h"

namespace fs = std::filesystem;

namespace {

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
                                      CodificaHex(pieces[k]) + "')",
                                  Db);
        ASSERT_EQ(Um("select count(*) from produto where barras = X'" +
                     CodificaHex(pieces[k]) + "'"),
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
