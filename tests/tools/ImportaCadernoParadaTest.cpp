// importa-caderno stopped mid-run (SIGINT, SIGTERM, a second signal, Ctrl+C on its terminal)
// leaves whole lines only; on a terminal it draws a progress line, elsewhere none.
#include "ImportaCadernoFixture.h"

namespace importa_caderno_test {
namespace {
// A product whose link takes a while to write, so that a signal comes in the middle of a run
// (and, most of the time, in the middle of a statement).
class SlowLinks : public ImportaCadernoTest {
protected:
    void SetUp() override {
        ImportaCadernoTest::SetUp();
        auto& s = TestServer::Shared();
        s.Exec("INSERT INTO produto (produto_id, barras) SELECT seq + 1000, LPAD(seq, 13, '0') "
               "FROM seq_1_to_300",
               Db);
        s.Exec("CREATE TRIGGER devagar AFTER INSERT ON prodcadofertas FOR EACH ROW "
               "SET @espera = SLEEP(0.02)",
               Db);
    }
    void TearDown() override { TestServer::Shared().Exec("DROP TRIGGER IF EXISTS devagar", Db); }

    // 300 products found, then one missing, which a completed run would report.
    std::vector<std::string> Args() {
        std::vector<std::string> lines;
        for (int i = 1; i <= 300; ++i)
            lines.push_back(std::to_string(i) + ";P;2,5;");
        lines.push_back("9999999999999;NAO TEM;1;");
        return {IMPORTA_CADERNO, File(lines), "--nome",     "N",      "--inicio",
                "2026-12-10",    "--fim",     "2026-12-10", "--conf", conf,
                "--relatorio",   relatorio,   "--json"};
    }
    // A stopped run: whole lines only (every link with its product's update, no update without
    // its link), some but not all, no report, and a summary that says so.
    void ExpectStoppedBetweenLines(const std::string& summary) {
        const int linked = std::stoi(One("select count(*) from prodcadofertas"));
        EXPECT_GT(linked, 0);
        EXPECT_LT(linked, 300);
        EXPECT_EQ(One("select count(*) from produto where lojas_leram = 'A'"),
                  std::to_string(linked));
        EXPECT_EQ(One("select count(*) from produto p join prodcadofertas l using (produto_id) "
                      "where p.lojas_leram = 'A' and p.preco_pro = 2.5"),
                  std::to_string(linked));
        EXPECT_FALSE(fs::exists(relatorio));
        EXPECT_NE(summary.find("\"processadas\": " + std::to_string(linked) + ", "),
                  std::string::npos)
            << summary;
        EXPECT_NE(summary.find("\"parado\": true"), std::string::npos) << summary;
        EXPECT_NE(summary.find("\"saida\": 3, "), std::string::npos) << summary;
    }
};

class Stop : public SlowLinks, public testing::WithParamInterface<int> {};

TEST_P(Stop, ASignalMidRunStopsBetweenLinesAndLeavesWholeLinesOnly) {
    const TempDir io;
    const std::string out = (io.Path() / "saida").string(), err = (io.Path() / "erros").string();
    const pid_t pid = Spawn(Args(), {"", out, err});
    while (One("select count(*) from prodcadofertas") == "0" && ::kill(pid, 0) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, GetParam());
    EXPECT_EQ(ExitCode(WaitFor(pid)), 3) << ReadAll(err);
    ExpectStoppedBetweenLines(ReadAll(out));
}

INSTANTIATE_TEST_SUITE_P(Signals, Stop, testing::Values(SIGINT, SIGTERM),
                         [](const testing::TestParamInfo<int>& i) {
                             return std::string(i.param == SIGINT ? "SIGINT" : "SIGTERM");
                         });

// A second signal, for a run that does not get to its next stop check, ends the command at once.
TEST_F(SlowLinks, ASecondSignalEndsItAtOnce) {
    const TempDir io;
    const pid_t pid = Spawn(Args(), {"", (io.Path() / "saida").string(), {}});
    while (One("select count(*) from prodcadofertas") == "0" && ::kill(pid, 0) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGINT);
    ::kill(pid, SIGTERM);
    EXPECT_EQ(ExitCode(WaitFor(pid)), 128 + SIGTERM);
    EXPECT_LT(std::stoi(One("select count(*) from prodcadofertas")), 300);
    EXPECT_EQ(ReadAll(io.Path() / "saida"), ""); // no summary: it ended where it stood
}

// Ctrl+C typed on the terminal the command runs on, once its progress line shows.
TEST_F(SlowLinks, CtrlCOnItsTerminalStopsBetweenLines) {
    bool typed = false;
    const ProgramRun r = RunOnTerminal(Args(), [&](std::string_view shown, int terminal) {
        if (!typed && shown.find(" de 301 linhas") != std::string_view::npos)
            typed = ::write(terminal, "\x03", 1) == 1;
    });
    ASSERT_TRUE(typed) << r.Out;
    EXPECT_EQ(r.Code, 3) << r.Out;
    ExpectStoppedBetweenLines(r.Out);
}

// A script's background job starts with SIGINT ignored: a SIGINT then changes nothing, and the
// whole file is imported.
TEST_F(SlowLinks, ASignalIgnoredAtTheStartStaysIgnored) {
    const TempDir io;
    std::vector<std::string> args = {"/bin/sh", "-c", "trap '' INT; exec \"$0\" \"$@\""};
    const std::vector<std::string> comando = Args();
    args.insert(args.end(), comando.begin(), comando.end());
    const pid_t pid = Spawn(args, {"", (io.Path() / "saida").string(), {}});
    while (One("select count(*) from prodcadofertas") == "0" && ::kill(pid, 0) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ::kill(pid, SIGINT);
    EXPECT_EQ(ExitCode(WaitFor(pid)), 0);
    EXPECT_EQ(One("select count(*) from prodcadofertas"), "300");
    EXPECT_TRUE(fs::exists(relatorio));
}

// A stop that comes before the booklet's row is written (here, while the store's identification
// is read) ends the command with nothing written.
TEST_F(ImportaCadernoTest, AStopBeforeTheBookletWritesNothing) {
    const std::string lenta = "loja_identificacao_lenta";
    CreateStore(lenta, std::nullopt);
    auto& s = TestServer::Shared();
    s.Exec("DROP TABLE identificacao_servidor", lenta);
    s.Exec("CREATE VIEW identificacao_servidor AS SELECT 10 AS filial_id, 'c' AS cnpj_servidor, "
           "'LOJA' AS tipo_servidor, NULL AS data_identificacao, 'h' AS hash_identificacao, "
           "SLEEP(1) AS espera",
           lenta);
    const TempDir io;
    const std::string out = (io.Path() / "saida").string();
    const pid_t pid =
        Spawn({IMPORTA_CADERNO, File(Misturado), "--nome", "N", "--inicio", "2026-12-10", "--fim",
               "2026-12-10", "--conf", Conf("lenta.conf", s.Address(), lenta), "--relatorio",
               relatorio, "--json"},
              {"", out, (io.Path() / "erros").string()});
    while (s.Scalar("select count(*) from information_schema.processlist where user = 'leitor' "
                    "and command = 'Query'") == "0" &&
           ::kill(pid, 0) == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGTERM);
    ProgramRun r;
    r.Code = ExitCode(WaitFor(pid));
    r.Out = ReadAll(out);
    EXPECT_EQ(r.Code, 3) << ReadAll(io.Path() / "erros");
    EXPECT_EQ(s.Scalar("select count(*) from cadofertas", lenta), "0");
    const auto summary = Summary(r);
    EXPECT_EQ(Member(summary, "parado"), "true");
    EXPECT_EQ(Member(summary, "caderno"), "null");
    EXPECT_EQ(Member(summary, "erro"), "Interrompido antes de gravar o caderno: nada foi gravado.");
    EXPECT_FALSE(fs::exists(relatorio));
}

// A summary that cannot be written (a full disk) is a failure, said on standard error, though
// the import itself went through.
TEST_F(ImportaCadernoTest, AStandardOutputThatTakesNothingIsAFailure) {
    std::vector<std::string> args = {"/bin/sh",
                                     "-c",
                                     "exec \"$0\" \"$@\" >/dev/full",
                                     IMPORTA_CADERNO,
                                     File(Misturado),
                                     "--nome",
                                     "N",
                                     "--inicio",
                                     "2026-12-10",
                                     "--fim",
                                     "2026-12-10",
                                     "--conf",
                                     conf,
                                     "--relatorio",
                                     relatorio};
    for (bool json : {false, true}) {
        if (json)
            args.push_back("--json");
        const ProgramRun r = RunProgram(args);
        EXPECT_EQ(r.Code, 2) << r.Err;
        EXPECT_NE(r.Err.find(U8(u8"importa-caderno: Não foi possível escrever na saída padrão.")),
                  std::string::npos)
            << r.Err;
    }
    EXPECT_EQ(One("select count(*) from cadofertas"), "2");
}

TEST_F(ImportaCadernoTest, OnATerminalAProgressLineIsRedrawnAtMostTenTimesASecond) {
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(i % 2 ? "789;PAO;1;" : "7891999999999;NAO TEM;1;");
    const auto inicio = std::chrono::steady_clock::now();
    const ProgramRun r =
        RunOnTerminal({IMPORTA_CADERNO, File(lines), "--nome", "N", "--inicio", "2026-12-10",
                       "--fim", "2026-12-10", "--conf", conf, "--relatorio", relatorio},
                      nullptr);
    const double segundos =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
    ASSERT_EQ(r.Code, 0) << r.Out;
    size_t desenhos = 0;
    for (size_t p = r.Out.find("\r"); p != std::string::npos; p = r.Out.find("\r", p + 1))
        desenhos += r.Out.compare(p, 2, "\r\n") != 0; // the terminal's own line ends aside
    EXPECT_GE(desenhos, 1u) << r.Out;
    EXPECT_LE(desenhos, static_cast<size_t>(segundos * 10) + 2) << r.Out;
    // The last drawing is the whole file, and the line is ended before anything else is said.
    EXPECT_NE(r.Out.find("\r3000 de 3000 linhas (100%), "), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find(U8(u8"\r\nimporta-caderno: Importação concluída com sucesso!!!")),
              std::string::npos)
        << r.Out;
}

TEST_F(ImportaCadernoTest, NoProgressLineWhenStandardErrorIsNoTerminal) {
    const ProgramRun r = Run(File(Misturado));
    ASSERT_EQ(r.Code, 0);
    EXPECT_EQ(r.Err.find('\r'), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("5 de 5 linhas"), std::string::npos) << r.Out;
}

} // namespace
} // namespace importa_caderno_test
