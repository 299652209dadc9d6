// Saving the report and starting the viewer on it, and what happens when the file cannot be
// written.
#include "RelatorioFixtures.h"
#include "TempDir.h"
#include "ViewerTestSupport.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/util2.h"
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

// ---- Saving and the viewer ----------------------------------------------------------------

class VisualizaComViewer : public ::testing::Test {
protected:
    TempDir dir;
    fs::path log = dir.Path() / "viewer.log";
    TVariavelDeAmbiente variavel{"CADOFERTAS_FAKE_VIEWER_LOG", log.string()};

    TLogViewer EsperaRegistros(size_t quantos) {
        TLogViewer lido;
        EXPECT_TRUE(EsperaAte([&] {
            lido = LeLogViewer(log);
            return lido.Registros.size() >= quantos;
        })) << "the viewer did not record its start";
        return lido;
    }
};

TEST_F(VisualizaComViewer, EmptyBuilderWritesAnEmptyFileAndStillStartsTheViewer) {
    TImpres r = NovoRelatorio();
    auto arquivo = (dir.Path() / "Relatorio.txt").string();
    r.Visualiza(arquivo);
    EXPECT_TRUE(fs::exists(arquivo));
    EXPECT_EQ(ReadAll(arquivo), "");
    TLogViewer lido = EsperaRegistros(1);
    ASSERT_EQ(lido.Registros.size(), 1u);
    EXPECT_EQ(lido.Registros[0].Programa, "visualizador.exe");
    EXPECT_EQ(lido.Registros[0].Argumentos, (std::vector<std::string>{arquivo, "132"}));
    EXPECT_TRUE(SemFilhos()) << "a process started for the viewer was left behind";
}

TEST_F(VisualizaComViewer, ViewerStartedOnceAndNotWaitedFor) {
    TAdotaDescendentes adota;
    fs::path liberacao = dir.Path() / "release";
    TVariavelDeAmbiente espera("CADOFERTAS_FAKE_VIEWER_RELEASE", liberacao.string());
    TImpres r = NovoRelatorio();
    MontaComoAImportacao(r, 3);
    auto arquivo = (dir.Path() / "Relatorio.txt").string();
    r.Visualiza(arquivo);

    // Visualiza is back while the viewer still waits to be released.
    EXPECT_EQ(LeLogViewer(log).Terminados, 0);
    int estado = 0;
    EXPECT_EQ(::waitpid(-1, &estado, WNOHANG), 0) << "no viewer running, or a process not reaped";
    TLogViewer lido = EsperaRegistros(1);
    EXPECT_EQ(lido.Terminados, 0);
    ASSERT_EQ(lido.Registros.size(), 1u);
    EXPECT_EQ(lido.Registros[0].Argumentos, (std::vector<std::string>{arquivo, "132"}));
    EXPECT_EQ(ReadAll(arquivo), Bytes(PaginasEsperadas(3)[0]));

    WriteAll(liberacao, "");
    EXPECT_TRUE(EsperaAte([&] { return LeLogViewer(log).Terminados == 1; }));
    EXPECT_EQ(ColheFilhos(), 1) << "exactly one program started";
    EXPECT_EQ(LeLogViewer(log).Registros.size(), 1u);
}

TEST_F(VisualizaComViewer, RelativeNameLiesInTheCurrentFolder) {
    fs::path pasta = dir.Path() / "trabalho";
    fs::create_directory(pasta);
    {
        TPastaAtual atual(pasta);
        TImpres r = NovoRelatorio();
        r.ImprimeDataHora(false);
        r.AddLinha("x", 3, -1);
        r.Visualiza("Relatorio.txt");
    }
    EXPECT_EQ(ReadAll(pasta / "Relatorio.txt"), "  x \r\n");
    TLogViewer lido = EsperaRegistros(1);
    ASSERT_EQ(lido.Registros.size(), 1u);
    EXPECT_EQ(lido.Registros[0].Argumentos, (std::vector<std::string>{"Relatorio.txt", "132"}));
    EXPECT_EQ(fs::path(lido.Registros[0].Pasta), fs::canonical(pasta));
}

struct TCasoFalha {
    const char* nome;
    const char* relativo; // inside the test's folder
    int codigo;
};

class FalhaAoCriar : public ::testing::TestWithParam<TCasoFalha> {};
TEST_P(FalhaAoCriar, NamesTheFullPathAndReasonAndStartsNoViewer) {
    const auto& c = GetParam();
    TAdotaDescendentes adota;
    TempDir dir;
    fs::path base = fs::canonical(dir.Path());
    WriteAll(base / "arquivo", "x");
    fs::create_directory(base / "pasta");
    TImpres r = NovoRelatorio();
    r.AddLinha("x", 3, -1);

    std::string nome = (base / c.relativo).string();
    try {
        r.Visualiza(nome);
        ADD_FAILURE() << "Visualiza did not fail";
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot create file \"" + nome + "\". " + MensagemDoSistema(c.codigo));
    }
    EXPECT_TRUE(SemFilhos()) << "the viewer was started";
    EXPECT_EQ(r.Corpo(), (TEntradas{"\r\n", LinhaData(1), "  x "}));
}
INSTANTIATE_TEST_SUITE_P(Motivos, FalhaAoCriar,
                         ::testing::Values(TCasoFalha{"MissingFolder", "falta/R.txt", ENOENT},
                                           TCasoFalha{"FolderIsAFile", "arquivo/R.txt", ENOTDIR},
                                           TCasoFalha{"NameIsAFolder", "pasta", EISDIR}),
                         [](const auto& info) { return std::string(info.param.nome); });

TEST(FalhaAoCriarArquivo, RelativeNameIsReportedWithItsFullPath) {
    TempDir dir;
    fs::path base = fs::canonical(dir.Path());
    TImpres r = NovoRelatorio();
    TPastaAtual atual(base);
    try {
        r.Visualiza("falta/../falta/Relatorio.txt");
        ADD_FAILURE() << "Visualiza did not fail";
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + (base / "falta/Relatorio.txt").string() +
                                   "\". " + MensagemDoSistema(ENOENT));
    }
}

TEST(FalhaAoCriarArquivo, ReadOnlyFolder) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "folder permissions do not bind the superuser";
    TempDir dir;
    fs::path base = fs::canonical(dir.Path());
    fs::permissions(base, fs::perms::owner_read | fs::perms::owner_exec);
    TImpres r = NovoRelatorio();
    std::string nome = (base / "Relatorio.txt").string();
    try {
        r.Visualiza(nome);
        ADD_FAILURE() << "Visualiza did not fail";
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + nome + "\". " + MensagemDoSistema(EACCES));
    }
}
