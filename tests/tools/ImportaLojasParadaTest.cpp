// importa-caderno --lojas stopped: Ctrl+C on its terminal stops every running store between two
// lines and starts no other; a second signal ends them all at once. The summary is printed.
#include "ImportaLojasFixture.h"

namespace importa_lojas_test {
namespace {

// Ctrl+C typed on the rollout's terminal: the running stores stop between two lines, no other
// starts, and the table is still printed.
TEST_F(ImportaLojasTest, CtrlCStopsEveryRunningStoreBetweenLinesAndStartsNoOther) {
    for (const Store& s : stores)
        Slow(s, 300);
    arquivo = SlowFile(300);
    bool typed = false;
    const ProgramRun r =
        RunOnTerminal(Args({"--simultaneas", "2"}), [&](std::string_view shown, int terminal) {
            if (typed || shown.find(" de 4 lojas") == std::string_view::npos)
                return;
            if (One(stores[0], "select count(*) from prodcadofertas") != "0" &&
                One(stores[1], "select count(*) from prodcadofertas") != "0")
                typed = ::write(terminal, "\x03", 1) == 1;
        });
    ASSERT_TRUE(typed) << r.Out;
    EXPECT_EQ(r.Code, 3) << r.Out;
    for (int i = 0; i < 2; ++i) {
        const int linked = std::stoi(One(stores[i], "select count(*) from prodcadofertas"));
        EXPECT_GT(linked, 0);
        EXPECT_LT(linked, 300);
        ExpectWholeLines(stores[i]);
        EXPECT_FALSE(fs::exists(dir.Path() / "relatorios" / (stores[i].Name + ".txt")));
        EXPECT_NE(r.Out.find(stores[i].Name), std::string::npos);
    }
    for (int i = 2; i < 4; ++i)
        EXPECT_EQ(One(stores[i], "select count(*) from cadofertas"), "0") << stores[i].Name;
    EXPECT_NE(r.Out.find(U8(u8"interrompida após a linha ")), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find(U8(u8"não iniciada")), std::string::npos) << r.Out;
}

// A second SIGINT ends every running store at once; the summary is still printed.
TEST_F(ImportaLojasTest, ASecondSignalEndsEveryStoreAtOnce) {
    for (const Store& s : stores)
        Slow(s, 300);
    arquivo = SlowFile(300);
    const TempDir io;
    const pid_t pid = Spawn(Args({"--json"}),
                            {"", (io.Path() / "saida").string(), (io.Path() / "erros").string()});
    for (const Store& s : stores)
        while (One(s, "select count(*) from prodcadofertas") == "0" && ::kill(pid, 0) == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto start = std::chrono::steady_clock::now();
    ::kill(pid, SIGINT);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, SIGINT);
    ProgramRun r;
    r.Code = ExitCode(WaitFor(pid));
    r.Out = ReadAll(io.Path() / "saida");
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
    const Entries e = Summary(r);
    EXPECT_EQ(e.size(), 4u);
    for (const Store& s : stores) {
        EXPECT_LT(std::stoi(One(s, "select count(*) from prodcadofertas")), 300) << s.Name;
        const std::string saida = Get(e, s.Name, "saida");
        EXPECT_TRUE(saida == "2" || saida == "3") << s.Name << ": " << saida;
    }
}

} // namespace
} // namespace importa_lojas_test
