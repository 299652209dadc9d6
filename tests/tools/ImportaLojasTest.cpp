// importa-caderno --lojas against four stores, each on a server of its own: what each store
// receives, a store that is down, one whose server dies mid-run, one that already holds the
// booklet, and the check that writes nothing.
#include "ImportaLojasFixture.h"

namespace importa_lojas_test {
namespace {

// Every store gets the statements that the one-store command (the window's, as
// importa_janela_tests shows) sends it, plus one read-only question before them; each store's
// report is named after its .conf.
TEST_F(ImportaLojasTest, EveryStoreGetsTheWindowsStatements) {
    std::vector<size_t> marks;
    for (const Store& s : stores)
        marks.push_back(s.Server->Mark());
    const ProgramRun r = Run({"--json", "--simultaneas", "2"});
    ASSERT_EQ(r.Code, 0) << r.Err << r.Out;
    const Entries e = Summary(r);
    ASSERT_EQ(e.size(), 4u) << r.Out;
    std::vector<std::vector<std::string>> rollout;
    for (size_t i = 0; i < stores.size(); ++i) {
        const Store& s = stores[i];
        EXPECT_EQ(Get(e, s.Name, "saida"), "0");
        EXPECT_EQ(Get(e, s.Name, "resultado"), "importada");
        EXPECT_EQ(Get(e, s.Name, "resumo.caderno"), "1");
        EXPECT_EQ(Get(e, s.Name, "resumo.loja"), std::string(1, static_cast<char>('A' + i)));
        EXPECT_EQ(Get(e, s.Name, "resumo.nao_encontrados"), "1");
        const fs::path report = dir.Path() / "relatorios" / (s.Name + ".txt");
        EXPECT_EQ(Get(e, s.Name, "resumo.relatorio"), report.string());
        EXPECT_NE(ReadAll(report).find("   7891999999999    NAO TEM"), std::string::npos);
        EXPECT_EQ(One(s, "select concat_ws('|', descricao, data1, data2, lojas_leram) from "
                         "cadofertas"),
                  "Ofertas da Semana|2026-12-10|2026-12-24|" + std::string(1, 'A' + i));
        // The question is one select on cadofertas, before anything else on its connection.
        std::vector<std::string> statements;
        size_t questions = 0;
        for (const std::string& st : ClientStatementsSince(*s.Server, marks[i])) {
            if (st.find("from cadofertas c where") != std::string::npos) {
                ++questions;
                EXPECT_EQ(st.rfind("select c.cadofertas_id, ", 0), 0u) << st;
                continue;
            }
            statements.push_back(WithoutRegistration(st));
        }
        EXPECT_EQ(questions, 1u) << s.Name;
        rollout.push_back(statements);
    }
    // The same stores, imported one by one by the one-store command.
    for (size_t i = 0; i < stores.size(); ++i) {
        const Store& s = stores[i];
        RefillOfferStore(*s.Server, Db);
        const size_t mark = s.Server->Mark();
        const ProgramRun one = RunProgram(
            {IMPORTA_CADERNO, arquivo, "--nome", "Ofertas da Semana", "--inicio", "2026-12-10",
             "--fim", "24/12/2026", "--conf", (dir.Path() / "lojas" / (s.Name + ".conf")).string(),
             "--relatorio", (dir.Path() / "um.txt").string()});
        ASSERT_EQ(one.Code, 0) << one.Err;
        std::vector<std::string> statements;
        for (const std::string& st : ClientStatementsSince(*s.Server, mark))
            statements.push_back(WithoutRegistration(st));
        EXPECT_EQ(rollout[i], statements) << s.Name;
        EXPECT_GT(statements.size(), Misturado.size());
    }
}

// A store whose server is down is tried again after the others (with a pause), then reported
// unreachable (4); the same command run again once it is up skips the stores that have the
// booklet and imports it there: no store gets it twice.
TEST_F(ImportaLojasTest, AStoreThatIsDownIsRetriedReportedAndFinishedByASecondRun) {
    const Store& down = stores[3];
    down.Server->Kill();
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun first = Run({"--json", "--tentativas", "2"});
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    down.Server->Start();
    EXPECT_EQ(first.Code, 4) << first.Err << first.Out;
    Entries e = Summary(first);
    EXPECT_EQ(Get(e, down.Name, "saida"), "4");
    EXPECT_EQ(Get(e, down.Name, "tentativas"), "2");
    EXPECT_EQ(Get(e, down.Name, "resultado"), U8(u8"inacessível (2 tentativas)"));
    EXPECT_NE(Get(e, down.Name, "erro").find(U8(u8"Falha ao carregar dados de identificação")),
              std::string::npos);
    EXPECT_GE(seconds, 2.0); // the pause before the second try
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Get(e, stores[i].Name, "saida"), "0");
        EXPECT_EQ(Get(e, stores[i].Name, "tentativas"), "1");
    }
    EXPECT_EQ(One(down, "select count(*) from cadofertas"), "0");

    const ProgramRun second = Run({"--json"});
    EXPECT_EQ(second.Code, 0) << second.Err << second.Out;
    e = Summary(second);
    EXPECT_EQ(Get(e, down.Name, "resultado"), "importada");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Get(e, stores[i].Name, "resultado"), U8(u8"já tem o caderno 1 (3 produtos)"));
    for (const Store& s : stores)
        EXPECT_EQ(One(s, "select count(*) from cadofertas"), "1") << s.Name;
}

// A store whose server dies mid-run failed part-way (2): it is not tried again, and the summary
// names its booklet and the line it reached; the others are imported.
TEST_F(ImportaLojasTest, AStoreWhoseServerDiesMidRunFailsPartWayAndIsNotRetried) {
    const Store& dies = stores[2];
    Slow(dies, 300); // in the others, the file's products are all missing
    arquivo = SlowFile(300);
    const TempDir io;
    const pid_t pid = Spawn(Args({"--json"}),
                            {"", (io.Path() / "saida").string(), (io.Path() / "erros").string()});
    while (One(dies, "select count(*) from prodcadofertas") == "0" && ::kill(pid, 0) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    dies.Server->Kill();
    ProgramRun r;
    r.Code = ExitCode(WaitFor(pid));
    r.Out = ReadAll(io.Path() / "saida");
    dies.Server->Start();
    EXPECT_EQ(r.Code, 2) << ReadAll(io.Path() / "erros") << r.Out;
    const Entries e = Summary(r);
    EXPECT_EQ(Get(e, dies.Name, "saida"), "2");
    EXPECT_EQ(Get(e, dies.Name, "tentativas"), "1");
    EXPECT_EQ(Get(e, dies.Name, "resumo.caderno"), "1");
    const std::string line = Get(e, dies.Name, "resumo.linha");
    ASSERT_NE(line, "null");
    EXPECT_EQ(Get(e, dies.Name, "resultado"), "falhou na linha " + line);
    // The lines before it (the heading is line 1), and maybe the link of its own.
    const int linked = std::stoi(One(dies, "select count(*) from prodcadofertas"));
    EXPECT_GE(linked, std::stoi(line) - 2);
    EXPECT_LE(linked, std::stoi(line) - 1);
    EXPECT_EQ(One(dies, "select count(*) from cadofertas"), "1");
    for (const Store& s : stores) {
        if (&s != &dies) {
            EXPECT_EQ(Get(e, s.Name, "saida"), "0") << s.Name;
        }
    }
}

// A store that already holds a booklet of the same name and dates is skipped, and the table
// says so; --importar-de-novo imports it again.
TEST_F(ImportaLojasTest, AStoreThatHoldsTheBookletIsSkippedUnlessAskedToImportAgain) {
    const Store& has = stores[1];
    ASSERT_EQ(RunProgram({IMPORTA_CADERNO, arquivo, "--nome", "  Ofertas da Semana ", "--inicio",
                          "10/12/2026", "--fim", "2026-12-24", "--conf",
                          (dir.Path() / "lojas" / (has.Name + ".conf")).string(), "--relatorio",
                          (dir.Path() / "um.txt").string()})
                  .Code,
              0);
    const std::string before = DumpOfferTables(*has.Server, Db);
    const ProgramRun r = Run();
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(DumpOfferTables(*has.Server, Db), before);
    // The table, one line per store after its heading, in the conf names' order.
    std::vector<std::string> lines;
    std::stringstream table(r.Out);
    for (std::string l; std::getline(table, l);)
        lines.push_back(l);
    ASSERT_GE(lines.size(), 5u) << r.Out;
    EXPECT_EQ(lines[0].rfind(U8(u8"Loja   Código  Filial  Resultado"), 0), 0u) << r.Out;
    EXPECT_EQ(
        lines[2].rfind("beta   B           11  " + U8(u8"já tem o caderno 1 (3 produtos)"), 0), 0u)
        << r.Out;
    EXPECT_NE(lines[1].find("importada"), std::string::npos) << r.Out;
    EXPECT_NE(lines[1].find((dir.Path() / "relatorios" / "alfa.txt").string()), std::string::npos)
        << r.Out;
    for (const Store& s : stores)
        EXPECT_EQ(One(s, "select count(*) from cadofertas"), "1") << s.Name;

    const ProgramRun again = Run({"--importar-de-novo", "--json"});
    EXPECT_EQ(again.Code, 0) << again.Err;
    for (const Store& s : stores)
        EXPECT_EQ(One(s, "select count(*) from cadofertas"), "2") << s.Name;
}

// --verificar --lojas: every store's products not found, and nothing written anywhere.
TEST_F(ImportaLojasTest, TheCheckOfEveryStoreWritesNothing) {
    std::vector<std::string> before;
    std::vector<size_t> marks;
    for (const Store& s : stores) {
        before.push_back(DumpOfferTables(*s.Server, Db));
        marks.push_back(s.Server->Mark());
    }
    const ProgramRun r = Run({"--verificar", "--json"});
    EXPECT_EQ(r.Code, 0) << r.Err;
    const Entries e = Summary(r);
    for (size_t i = 0; i < stores.size(); ++i) {
        const Store& s = stores[i];
        EXPECT_EQ(DumpOfferTables(*s.Server, Db), before[i]) << s.Name;
        for (const std::string& st : ClientStatementsSince(*s.Server, marks[i]))
            EXPECT_EQ(st.rfind("select ", 0), 0u) << st;
        EXPECT_EQ(Get(e, s.Name, "resultado"), "verificada");
        EXPECT_EQ(Get(e, s.Name, "resumo.nao_encontrados"), "1");
        EXPECT_NE(ReadAll(dir.Path() / "relatorios" / (s.Name + ".txt")).find("NAO TEM"),
                  std::string::npos);
    }
}

} // namespace
} // namespace importa_lojas_test
