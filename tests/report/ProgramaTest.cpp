#include "platform/Programa.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TempDir.h"
#include "ViewerTestSupport.h"
#include "platform/Executavel.h"

namespace fs = std::filesystem;

// ---- Splitting the command line -------------------------------------------------------------

struct TCasoDivisao {
    const char* nome;
    std::string linha;
    std::string programa;
    std::vector<std::string> argumentos;
};

class DivisaoDaLinha : public ::testing::TestWithParam<TCasoDivisao> {};
TEST_P(DivisaoDaLinha, AsWindowsSplitsIt) {
    const auto& c = GetParam();
    TLinhaDeComando comando = ::DivideLinhaDeComando(c.linha);
    EXPECT_EQ(comando.Programa, c.programa);
    EXPECT_EQ(comando.Argumentos, c.argumentos);
}
INSTANTIATE_TEST_SUITE_P(
    Exemplos, DivisaoDaLinha,
    ::testing::Values(
        TCasoDivisao{"Viewer",
                     "visualizador.exe Relatorio.txt 132",
                     "visualizador.exe",
                     {"Relatorio.txt", "132"}},
        TCasoDivisao{"NoArguments", "visualizador.exe", "visualizador.exe", {}},
        TCasoDivisao{"Empty", "", "", {}},
        TCasoDivisao{"RunsOfBlanksAndTabs", "p  a\t\tb   ", "p", {"a", "b"}},
        TCasoDivisao{"BlankInFileNameSplitsIt",
                     "visualizador.exe C:\\Meus Dados\\Relatorio.txt 132",
                     "visualizador.exe",
                     {"C:\\Meus", "Dados\\Relatorio.txt", "132"}},
        TCasoDivisao{
            "QuotedProgram", "\"C:\\Program Files\\v.exe\" a", "C:\\Program Files\\v.exe", {"a"}},
        TCasoDivisao{"QuotedArgument", "p a \"b c\" d", "p", {"a", "b c", "d"}},
        TCasoDivisao{"QuotesInsideAnArgument", "p a\"b c\"d", "p", {"ab cd"}},
        TCasoDivisao{"EmptyQuotedArgument", "p \"\" x", "p", {"", "x"}},
        TCasoDivisao{"UnclosedQuoteRunsToTheEnd", "p \"a b", "p", {"a b"}},
        TCasoDivisao{"EscapedQuote", "p a\\\"b", "p", {"a\"b"}},
        TCasoDivisao{"EvenBackslashesBeforeQuote", "p \"a\\\\\" b", "p", {"a\\", "b"}},
        TCasoDivisao{"OddBackslashesBeforeQuote", "p a\\\\\\\"b", "p", {"a\\\"b"}},
        TCasoDivisao{"PlainBackslashesStay", "p C:\\a\\\\b\\", "p", {"C:\\a\\\\b\\"}},
        TCasoDivisao{"DoubledQuoteInsideQuotes", "p \"a\"\"b\"", "p", {"a\"b"}},
        TCasoDivisao{"WindowsCharactersAsTheyAre", "p n\xE3o", "p", {"n\xE3o"}}),
    [](const auto& info) { return std::string(info.param.nome); });

// An argument written into a command line comes back whole from the split, whatever it holds;
// one without blanks or quotes stands as it is (the window's "Relatorio.txt").
TEST(ArgumentoNaLinha, ComesBackWholeFromTheSplit) {
    EXPECT_EQ(ArgumentoNaLinhaDeComando("Relatorio.txt"), "Relatorio.txt");
    EXPECT_EQ(ArgumentoNaLinhaDeComando("C:\\a\\b.txt"), "C:\\a\\b.txt");
    EXPECT_EQ(ArgumentoNaLinhaDeComando("a b"), "\"a b\"");
    for (const std::string a : {"", "a b", "C:\\Meus Dados\\", "a\"b", "a\\\"b c", "\t", "fim\\\\",
                                "\"\"", "x \\\\\" y"}) {
        const TLinhaDeComando c =
            DivideLinhaDeComando("visualizador.exe " + ArgumentoNaLinhaDeComando(a) + " 132");
        EXPECT_EQ(c.Argumentos, (std::vector<std::string>{a, "132"})) << a;
    }
}

// ---- Looking the program up ------------------------------------------------------------------

namespace {

void CriaPrograma(const fs::path& caminho, bool executavel = true) {
    fs::create_directories(caminho.parent_path());
    WriteAll(caminho, "#!/bin/sh\n");
    fs::permissions(caminho, executavel ? fs::perms::owner_all
                                        : fs::perms::owner_read | fs::perms::owner_write);
}

class ProcuraDoPrograma : public ::testing::Test {
protected:
    TempDir dir;
    fs::path base = fs::canonical(dir.Path());
    fs::path programa = base / "prog";
    fs::path atual = base / "atual";
    fs::path p1 = base / "p1";
    fs::path p2 = base / "p2";
    std::string caminhos = p1.string() + ":" + p2.string();

    void SetUp() override {
        for (const auto& pasta : {programa, atual, p1, p2})
            fs::create_directories(pasta);
    }
    std::string Procura(const std::string& nome) {
        return ::ProcuraPrograma(nome, programa.string() + "/", atual.string(), caminhos);
    }
};

} // namespace

TEST_F(ProcuraDoPrograma, RunningProgramsFolderComesFirst) {
    CriaPrograma(programa / "v.exe");
    CriaPrograma(atual / "v.exe");
    CriaPrograma(p1 / "v.exe");
    EXPECT_EQ(Procura("v.exe"), (programa / "v.exe").string());
}

TEST_F(ProcuraDoPrograma, ThenTheCurrentFolderThenTheSearchPathInOrder) {
    CriaPrograma(atual / "v");
    CriaPrograma(p1 / "v");
    CriaPrograma(p2 / "v");
    EXPECT_EQ(Procura("v"), (atual / "v").string());
    fs::remove(atual / "v");
    EXPECT_EQ(Procura("v"), (p1 / "v").string());
    fs::remove(p1 / "v");
    EXPECT_EQ(Procura("v"), (p2 / "v").string());
    fs::remove(p2 / "v");
    EXPECT_EQ(Procura("v"), "");
}

TEST_F(ProcuraDoPrograma, OnlyExecutableFilesCount) {
    CriaPrograma(programa / "v", false);
    fs::create_directory(atual / "v");
    CriaPrograma(p2 / "v");
    EXPECT_EQ(Procura("v"), (p2 / "v").string());
}

TEST_F(ProcuraDoPrograma, NameWithoutExeWhenTheExeIsFoundNowhere) {
    CriaPrograma(p2 / "visualizador");
    EXPECT_EQ(Procura("visualizador.exe"), (p2 / "visualizador").string());
    EXPECT_EQ(Procura("VISUALIZADOR.EXE"), "") << "the rest of the name keeps its case";
    CriaPrograma(p2 / "VISUALIZADOR");
    EXPECT_EQ(Procura("VISUALIZADOR.EXE"), (p2 / "VISUALIZADOR").string());
    // the name as given wins wherever it is
    CriaPrograma(programa / "visualizador");
    CriaPrograma(p2 / "visualizador.exe");
    EXPECT_EQ(Procura("visualizador.exe"), (p2 / "visualizador.exe").string());
    EXPECT_EQ(Procura(".exe"), "");
}

TEST_F(ProcuraDoPrograma, NameWithAFolderIsTakenAsItStands) {
    CriaPrograma(atual / "sub" / "v");
    CriaPrograma(programa / "sub" / "v");
    EXPECT_EQ(Procura("sub/v"), (atual / "sub" / "v").string());
    EXPECT_EQ(Procura((p1 / "v").string()), "");
    CriaPrograma(p1 / "v");
    EXPECT_EQ(Procura((p1 / "v").string()), (p1 / "v").string());
    EXPECT_EQ(Procura((p1 / "v.exe").string()), (p1 / "v").string());
}

TEST_F(ProcuraDoPrograma, UnknownFoldersAreNotSearched) {
    // The stand-in viewer lies in this test program's own current folder.
    ASSERT_TRUE(fs::exists("visualizador"));
    EXPECT_EQ(::ProcuraPrograma("visualizador", "", "", ""), "");
    EXPECT_EQ(::ProcuraPrograma("visualizador", "", "", p1.string()), "");
    EXPECT_EQ(::ProcuraPrograma("visualizador", "", fs::current_path().string(), ""),
              (fs::current_path() / "visualizador").string());
}

// ---- Starting the program ---------------------------------------------------------------------

TEST(WinExec, MissingProgramReportsNothingAndStartsNothing) {
    TAdotaDescendentes adota;
    EXPECT_NO_THROW(WinExec("programa-que-nao-existe.exe Relatorio.txt 132", JanelaMaximizada));
    EXPECT_NO_THROW(WinExec("", JanelaMaximizada));
    EXPECT_NO_THROW(WinExec("   ", JanelaMaximizada));
    EXPECT_TRUE(SemFilhos());
}

TEST(WinExec, StartsTheViewerBesideTheProgramWithItsArguments) {
    ASSERT_TRUE(fs::exists(PastaDoExecutavel() + "visualizador"))
        << "the stand-in viewer is built beside this test program";
    TempDir dir;
    fs::path log = dir.Path() / "viewer.log";
    TVariavelDeAmbiente variavel("CADOFERTAS_FAKE_VIEWER_LOG", log.string());

    WinExec("visualizador.exe \"um dois\" tr\\\"es 132", JanelaMaximizada);
    EXPECT_TRUE(SemFilhos()) << "the launch left a process behind";
    TLogViewer lido;
    ASSERT_TRUE(EsperaAte([&] {
        lido = LeLogViewer(log);
        return !lido.Registros.empty();
    }));
    ASSERT_EQ(lido.Registros.size(), 1u);
    EXPECT_EQ(lido.Registros[0].Programa, "visualizador.exe");
    EXPECT_EQ(lido.Registros[0].Argumentos, (std::vector<std::string>{"um dois", "tr\"es", "132"}));
    EXPECT_EQ(fs::path(lido.Registros[0].Pasta), fs::current_path());
}
