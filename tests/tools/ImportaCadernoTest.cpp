// importa-caderno run as the chain's IT runs it, against a real server: what it writes, what
// the check before an import leaves untouched, each exit code by its cause, the viewer, and
// hostile names and barcodes.
#include "ImportaCadernoFixture.h"

namespace importa_caderno_test {
namespace {
TEST_F(ImportaCadernoTest, ImportsTheBookletLinksAndProductsAndReportsTheMissingOne) {
    const ProgramRun r = Run(File(Misturado), {"--json"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(One("select concat_ws('|', descricao, data1, data2, lojas_leram) from cadofertas"),
              "Ofertas da Semana|2026-12-10|2026-12-24|A");
    // The first price stays on the revived link; the product keeps the last one.
    EXPECT_EQ(One("select group_concat(concat(produto_id, '=', pre_promo, lojas_leram) order by "
                  "produto_id) from prodcadofertas"),
              "21=19.9000A,22=9.9900A,23=5.4900A");
    EXPECT_EQ(One("select group_concat(concat(produto_id, '=', preco_pro, valid_pro) order by "
                  "produto_id) from produto where lojas_leram = 'A'"),
              "21=18.90002026-12-24,22=9.99002026-12-24,23=5.49002026-12-24");
    const std::string report = ReadAll(relatorio);
    EXPECT_NE(report.find("   7891999999999    NAO TEM"), std::string::npos);
    EXPECT_NE(report.find("Total Produtos n\xE3o importados: 1\r\n"), std::string::npos);
    EXPECT_EQ(r.Out, "{\"arquivo\": \"" + (dir.Path() / "o.csv").string() +
                         "\", \"verificacao\": false, \"linhas\": 5, \"processadas\": 5, "
                         "\"encontrados\": 4, \"nao_encontrados\": 1, \"caderno\": 1, "
                         "\"relatorio\": \"" +
                         relatorio +
                         "\", \"parado\": false, \"ja_tem\": null, \"loja\": \"A\", "
                         "\"filial\": 10, \"linha\": null, \"saida\": 0, \"erro\": null}\n");
}

TEST_F(ImportaCadernoTest, WithoutThePromotionalPriceTheProductsKeepTheirs) {
    ASSERT_EQ(Run(File({"7891000100103;ARROZ;19,90;"}), {"--sem-preco-promocional"}).Code, 0);
    EXPECT_EQ(One("select concat_ws('|', ifnull(preco_pro, 'nulo'), dtiniciopromocao) from "
                  "produto where produto_id = 21"),
              "nulo|2026-12-10");
    EXPECT_EQ(One("select pre_promo from prodcadofertas"), "19.9000");
}

TEST_F(ImportaCadernoTest, TheCheckWritesNothingAndReportsWhatAnImportWouldLeaveOut) {
    const std::string arquivo = File(Misturado);
    const std::string antes = DumpOfferTables(Db);
    const size_t mark = TestServer::Shared().Mark();
    const ProgramRun check = Run(arquivo, {"--verificar", "--json"});
    ASSERT_EQ(check.Code, 0) << check.Err;
    const std::vector<std::string> statements = ClientStatementsSince(mark);
    EXPECT_EQ(DumpOfferTables(Db), antes);
    ASSERT_FALSE(statements.empty());
    for (const std::string& s : statements)
        EXPECT_TRUE(s.rfind("select ", 0) == 0) << s; // the lookups and the identification
    EXPECT_NE(check.Out.find("\"verificacao\": true"), std::string::npos) << check.Out;
    EXPECT_NE(check.Out.find("\"caderno\": null"), std::string::npos) << check.Out;
    EXPECT_NE(check.Out.find("\"nao_encontrados\": 1"), std::string::npos) << check.Out;
    const std::string checked = ReadAll(relatorio);

    // The import of the same file leaves out exactly the products the check listed.
    ASSERT_EQ(Run(arquivo).Code, 0);
    EXPECT_EQ(WithoutReportTime(checked), WithoutReportTime(ReadAll(relatorio)));
}

TEST_F(ImportaCadernoTest, TheCheckOfAFileWhoseProductsAreAllThereSavesNoReport) {
    const ProgramRun r = Run(File({"789;PAO;1;"}), {"--verificar", "--json"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_FALSE(fs::exists(relatorio));
    EXPECT_NE(r.Out.find("\"relatorio\": null"), std::string::npos) << r.Out;
}

struct Refusal {
    const char* name;
    std::vector<std::string> args; // after the program; "@..." stand for the test's files
    std::string file;              // the offer file's bytes
    int code;
    std::string message; // in what the command says on standard error (UTF-8)
};

// A store without its identification row, beside the usual one.
const std::string SemIdentificacao = "loja_sem_id";

class ExitCodes : public ImportaCadernoTest, public testing::WithParamInterface<Refusal> {
protected:
    static void SetUpTestSuite() {
        ImportaCadernoTest::SetUpTestSuite();
        CreateStore(SemIdentificacao, std::nullopt);
    }
};

// Each cause ends with its code, says why on standard error and, with --json, prints one JSON
// object with the code and the same message; nothing is written but by a run that started.
TEST_P(ExitCodes, EachCauseEndsWithItsCodeAndSaysWhy) {
    const Refusal& c = GetParam();
    const std::string arquivo = dir.Write("oferta.csv", c.file);
    const std::string ip = TestServer::Shared().Address();
    const std::map<std::string, std::string> files = {
        {"@", arquivo},
        {"@conf", conf},
        {"@dir", dir.Path().string()},
        // Nothing listens at port 1 of the server's address.
        {"@unreachable", Conf("fechada.conf", ip + ":1", Db)},
        {"@wrong-password", Conf("senha.conf", ip, Db, "errada")},
        {"@no-identification", Conf("sem-id.conf", ip, SemIdentificacao)}};
    std::vector<std::string> args = {IMPORTA_CADERNO};
    for (const std::string& a : c.args)
        args.push_back(files.count(a) ? files.at(a) : a);
    args.push_back("--json");
    const ProgramRun r = RunProgram(args);
    EXPECT_EQ(r.Code, c.code) << r.Err;
    EXPECT_NE(r.Err.find(c.message), std::string::npos) << r.Err;
    const auto summary = Summary(r);
    if (c.code == 0) {
        EXPECT_EQ(Member(summary, "erro"), "null") << r.Out;
    } else {
        // The message said on standard error, whole.
        const std::string erro = Member(summary, "erro");
        EXPECT_FALSE(erro.empty() || erro == "null") << r.Out;
        EXPECT_NE(r.Err.find(erro), std::string::npos) << r.Out << r.Err;
    }
    if (c.code == 1 || c.code == 4) {
        EXPECT_EQ(One("select count(*) from cadofertas"), "0");
        EXPECT_EQ(Member(summary, "caderno"), "null") << r.Out;
    }
}

const std::string Bom = OfferFile({"789;PAO;1;"});
std::vector<std::string> Com(std::vector<std::string> mais) {
    std::vector<std::string> a = {"@", "--conf", "@conf", "--nome", "N"};
    a.insert(a.end(), mais.begin(), mais.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Causes, ExitCodes,
    testing::Values(
        Refusal{"NoArguments", {}, Bom, 1, "Falta o arquivo de ofertas."},
        Refusal{"UnknownOption", Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--x"}), Bom,
                1, U8(u8"Opção desconhecida: --x.")},
        Refusal{"MissingEnd", Com({"--inicio", "2026-12-10"}), Bom, 1, "Falta --fim."},
        Refusal{"ImpossibleIsoDate", Com({"--inicio", "2026-02-30", "--fim", "2026-12-10"}), Bom, 1,
                U8(u8"A data de --inicio \"2026-02-30\" não é válida")},
        Refusal{"ImpossibleShortDate", Com({"--inicio", "2026-12-10", "--fim", "31/04/2027"}), Bom,
                1, U8(u8"A data de --fim \"31/04/2027\" não é válida")},
        Refusal{"NotADate", Com({"--inicio", U8(u8"amanhã"), "--fim", "2026-12-10"}), Bom, 1,
                U8(u8"A data de --inicio \"amanhã\" não é válida")},
        Refusal{"EndBeforeStart", Com({"--inicio", "2026-12-10", "--fim", "09/12/2026"}), Bom, 1,
                U8(u8"A data do início da promoção não pode ser maior que a data do término da "
                   u8"promoção.")},
        Refusal{"BlankName",
                {"@", "--conf", "@conf", "--nome", " \t ", "--inicio", "2026-12-10", "--fim",
                 "2026-12-10"},
                Bom,
                1,
                "Defina um nome para o caderno de oferta."},
        Refusal{"MissingFile",
                {"/nao/existe.csv", "--conf", "@conf", "--nome", "N", "--inicio", "2026-12-10",
                 "--fim", "2026-12-10"},
                Bom,
                1,
                U8(u8"O arquivo não existe.")},
        Refusal{"EmptyConfAfterEquals",
                Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--conf="}), Bom, 1,
                U8(u8"O valor de --conf está vazio.")},
        Refusal{"EmptyConf",
                {"@", "--nome", "N", "--inicio", "2026-12-10", "--fim", "2026-12-10", "--conf", ""},
                Bom,
                1,
                U8(u8"O valor de --conf está vazio.")},
        Refusal{"EmptyReport",
                Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--relatorio", ""}), Bom, 1,
                U8(u8"O valor de --relatorio está vazio.")},
        Refusal{"ReportEndingInASeparator",
                Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--relatorio", "/tmp/r/"}),
                Bom, 1, U8(u8"O valor de --relatorio \"/tmp/r/\" não é um arquivo.")},
        Refusal{"ReportThatIsAFolder",
                Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--relatorio", "@dir"}), Bom,
                1, U8(u8"\" é uma pasta, não um arquivo.")},
        Refusal{"NotANumberOfStores",
                Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--lojas", "x",
                     "--simultaneas", "0"}),
                Bom, 1, U8(u8"O valor de --simultaneas \"0\" não é um número de 1 a 256.")},
        Refusal{"ConfWithStores",
                Com({"--inicio", "2026-12-10", "--fim", "2026-12-10", "--lojas", "x"}), Bom, 1,
                U8(u8"--conf não vale com --lojas")},
        Refusal{"UnreachableServer",
                {"@", "--conf", "@unreachable", "--nome", "N", "--inicio", "2026-12-10", "--fim",
                 "2026-12-10"},
                Bom,
                4,
                U8(u8"Falha ao carregar dados de identificação do servidor.")},
        Refusal{"LoginRefused",
                {"@", "--conf", "@wrong-password", "--nome", "N", "--inicio", "2026-12-10", "--fim",
                 "2026-12-10"},
                Bom,
                4,
                "Access denied for user 'leitor'"},
        Refusal{"NoIdentification",
                {"@", "--conf", "@no-identification", "--nome", "N", "--inicio", "2026-12-10",
                 "--fim", "2026-12-10"},
                Bom,
                4,
                U8(u8"Não foi possível encontrar a identificação do servidor.")},
        Refusal{"MissingConf",
                {"@", "--conf", "/nao/existe.conf", "--nome", "N", "--inicio", "2026-12-10",
                 "--fim", "2026-12-10"},
                Bom,
                1,
                U8(u8"O arquivo de configuração \"/nao/existe.conf\" não existe.")},
        Refusal{"EmptyFile", Com({"--inicio", "2026-12-10", "--fim", "2026-12-10"}), "", 1,
                U8(u8"Não existem dados para serem importados.")},
        Refusal{"NulInTheFile", Com({"--inicio", "2026-12-10", "--fim", "2026-12-10"}),
                "H;;;\r\n78\0009;X;1;\r\n"s, 1, U8(u8"a linha 2 contém um caractere nulo")},
        Refusal{"BadPriceOnLine3", Com({"--inicio", "2026-12-10", "--fim", "2026-12-10"}),
                OfferFile({"789;PAO;1;", "7891000100103;ARROZ;1.234,5;"}), 2,
                "Falha na linha 3 do arquivo"},
        Refusal{"Done", Com({"--inicio", "2026-12-10", "--fim", "2026-12-10"}), Bom, 0,
                U8(u8"Importação concluída com sucesso!!!")}),
    [](const testing::TestParamInfo<Refusal>& i) { return std::string(i.param.name); });

TEST_F(ImportaCadernoTest, AFailurePartWayKeepsTheLinesBeforeItAndSaysSo) {
    const ProgramRun r = Run(
        File({"789;PAO;1;", "7891000100103;ARROZ;1.234,5;", "7891000400401;CAFE;3;"}), {"--json"});
    ASSERT_EQ(r.Code, 2);
    EXPECT_NE(r.Err.find("Falha na linha 3 do arquivo " + (dir.Path() / "o.csv").string() +
                         ": '1.234,5' is not a valid floating point value\n"
                         "O caderno 1 e as linhas anteriores do arquivo ficam gravados."),
              std::string::npos)
        << r.Err;
    EXPECT_EQ(One("select group_concat(produto_id) from prodcadofertas"), "22");
    EXPECT_NE(r.Out.find("\"processadas\": 1, "), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("\"erro\": \"'1.234,5' is not a valid floating point value\""),
              std::string::npos)
        << r.Out;
}

// A store the command cannot reach is no mistake of the command line: 4, try again later; the
// inputs are checked first, so a mistake is still 1 there.
TEST_F(ImportaCadernoTest, AServerThatCannotBeReachedIsToldApartFromAMistake) {
    const std::string semServidor = Conf("sem.conf", "127.0.0.1:1", Db);
    const ProgramRun r = Run(File({"789;PAO;1;"}), {"--conf", semServidor, "--json"});
    EXPECT_EQ(r.Code, 4);
    EXPECT_NE(r.Err.find("Falha ao carregar dados de identifica"), std::string::npos) << r.Err;
    EXPECT_EQ(Member(Summary(r), "caderno"), "null");
    const ProgramRun mistake =
        Run(File({"789;PAO;1;"}), {"--conf", semServidor, "--json", "--nome", " "});
    EXPECT_EQ(mistake.Code, 1) << mistake.Err;
    EXPECT_EQ(Member(Summary(mistake), "erro"), "Defina um nome para o caderno de oferta.");
}

// --pular-se-ja-tem: a store that holds a booklet of the same name and dates is left as it is,
// after one read-only statement; another name or other dates are imported.
TEST_F(ImportaCadernoTest, AStoreThatAlreadyHoldsTheBookletIsLeftAsItIs) {
    const std::string arquivo = File(Misturado);
    ASSERT_EQ(Run(arquivo).Code, 0);
    const std::string antes = DumpOfferTables(Db);
    const size_t mark = TestServer::Shared().Mark();
    const ProgramRun r = Run(arquivo, {"--pular-se-ja-tem", "--json"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(DumpOfferTables(Db), antes);
    EXPECT_NE(r.Err.find(U8(u8"A loja já tem o caderno 1 (3 produtos): nada foi gravado.")),
              std::string::npos)
        << r.Err;
    const auto summary = Summary(r);
    EXPECT_EQ(Member(summary, "ja_tem.caderno"), "1");
    EXPECT_EQ(Member(summary, "ja_tem.produtos"), "3");
    EXPECT_EQ(Member(summary, "caderno"), "null");
    // The identification's statements, then the one question on the main connection.
    size_t questions = 0;
    for (const std::string& s : ClientStatementsSince(mark)) {
        EXPECT_EQ(s.rfind("select ", 0), 0u) << s;
        questions += s.find("from cadofertas") != std::string::npos;
    }
    EXPECT_EQ(questions, 1u);

    ASSERT_EQ(Run(arquivo, {"--pular-se-ja-tem", "--fim", "2026-12-25"}).Code, 0);
    EXPECT_EQ(One("select count(*) from cadofertas"), "2");
}

TEST_F(ImportaCadernoTest, ReadsConnectionConfBesideItself) {
    TempDir pasta;
    fs::copy_file(IMPORTA_CADERNO, pasta.Path() / "importa-caderno");
    fs::copy_file(conf, pasta.Path() / "connection.conf");
    const ProgramRun r =
        RunProgram({(pasta.Path() / "importa-caderno").string(), File({"789;PAO;1;"}), "--nome",
                    "N", "--inicio", "2026-12-10", "--fim", "2026-12-10"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(One("select count(*) from prodcadofertas"), "1");
}

TEST_F(ImportaCadernoTest, AReportThatCannotBeSavedFailsAfterTheLinesAreWritten) {
    const std::string semPasta = (dir.Path() / "nao-existe" / "Relatorio.txt").string();
    const ProgramRun r = Run(File(Misturado), {"--relatorio", semPasta});
    EXPECT_EQ(r.Code, 2);
    EXPECT_NE(r.Err.find(U8(u8"Falha ao gravar o relatório ") + semPasta), std::string::npos)
        << r.Err;
    EXPECT_EQ(One("select count(*) from prodcadofertas"), "3");
}

// The viewer is started beside the command only with --mostrar: the command and a stand-in
// viewer, which records how it was started, in a folder of their own.
TEST_F(ImportaCadernoTest, StartsTheViewerOnlyWhenAsked) {
    relatorio = (dir.Path() / "Relatorio da loja.txt").string(); // one argument all the same
    TempDir pasta;
    const fs::path comando = pasta.Path() / "importa-caderno";
    fs::copy_file(IMPORTA_CADERNO, comando);
    fs::copy_file(STAND_IN_VIEWER, pasta.Path() / "visualizador");
    const fs::path registro = pasta.Path() / "visualizador.log";
    ::setenv("CADOFERTAS_FAKE_VIEWER_LOG", registro.c_str(), 1);
    const std::string arquivo = File(Misturado);
    auto roda = [&](std::vector<std::string> mais) {
        std::vector<std::string> args = {
            comando.string(), arquivo,      "--nome", "N",  "--inicio",    "2026-12-10",
            "--fim",          "2026-12-10", "--conf", conf, "--relatorio", relatorio};
        args.insert(args.end(), mais.begin(), mais.end());
        return RunProgram(args).Code;
    };
    ASSERT_EQ(roda({}), 0);
    ASSERT_EQ(roda({"--mostrar"}), 0);
    std::string visto;
    for (int i = 0; i < 4000 && visto.find("end\n") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (fs::exists(registro))
            visto = ReadAll(registro);
    }
    ::unsetenv("CADOFERTAS_FAKE_VIEWER_LOG");
    // One start, of the stand-in beside the command (no other one writes the record).
    EXPECT_EQ(visto, "start\nprog=visualizador.exe\narg=" + relatorio +
                         "\narg=132\ncwd=" + fs::current_path().string() + "\nend\n");
}

TEST_F(ImportaCadernoTest, HostileNamesAndBarcodesPassThroughAsValues) {
    const std::string nome = U8(u8"Ofertas \"Natal\" \\ ' ; -- $(rm -rf /) ção");
    const std::string arquivo = dir.Write(U8(u8"a \"b\" $(touch x) ; 'c' ção.csv"),
                                          OfferFile({"78\"9\\1';NAO \"TEM\";1;", "789;PAO;1;"}));
    const ProgramRun r =
        RunProgram({IMPORTA_CADERNO, arquivo, "--nome", nome, "--inicio", "2026-12-10", "--fim",
                    "2026-12-10", "--conf", conf, "--relatorio", relatorio, "--json"});
    ASSERT_EQ(r.Code, 0) << r.Err;
    // The name is stored as the system's text: ç as its Windows-1252 byte.
    EXPECT_EQ(One("select descricao from cadofertas"),
              "Ofertas \"Natal\" \\ ' ; -- $(rm -rf /) \xE7\xE3o");
    EXPECT_EQ(One("select count(*) from prodcadofertas"), "1");
    EXPECT_NE(ReadAll(relatorio).find("   00000078\"9\\1'    NAO \"TEM\""), std::string::npos);
    // In the summary, the file's name with its quotes escaped.
    EXPECT_NE(r.Out.find((dir.Path() / U8(u8"a \\\"b\\\" $(touch x) ; 'c' ção.csv\"")).string()),
              std::string::npos)
        << r.Out;
    EXPECT_FALSE(fs::exists(dir.Path() / "x"));
}

} // namespace
} // namespace importa_caderno_test
