// The report builder: text operations, placing texts, the paginating list, and the pages of
// the saved file.
#include "RelatorioFixtures.h"
#include "TempDir.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/util2.h"
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// ---- Text operations --------------------------------------------------------------------

struct TCasoTexto {
    std::string texto;
    int largura;
    std::string preenchimento;
    std::string esperado;
};

class Centraliza : public ::testing::TestWithParam<TCasoTexto> {};
TEST_P(Centraliza, FillsAlternatelyAndCutsWhenLonger) {
    const auto& c = GetParam();
    EXPECT_EQ(TImpres::Centraliza(c.texto, c.largura, c.preenchimento), c.esperado);
}
INSTANTIATE_TEST_SUITE_P(
    Exemplos, Centraliza,
    ::testing::Values(TCasoTexto{"abc", 8, " ", "   abc  "}, TCasoTexto{"ab", 5, " ", " ab  "},
                      TCasoTexto{"abcdef", 4, " ", "abcd"}, TCasoTexto{"abcd", 4, " ", "abcd"},
                      TCasoTexto{"a", 4, "*", "**a*"}, TCasoTexto{"ab", 7, ".", "..ab..."},
                      TCasoTexto{"", 3, "*", "***"}, TCasoTexto{"abc", 0, " ", ""},
                      TCasoTexto{TituloImportacao, 127, " ",
                                 std::string(30, ' ') + TituloImportacao + std::string(30, ' ')}));

class CompletaDireita : public ::testing::TestWithParam<TCasoTexto> {};
TEST_P(CompletaDireita, AppendsTheFillAndNeverCuts) {
    const auto& c = GetParam();
    EXPECT_EQ(TImpres::CompletaDireita(c.texto, c.largura, c.preenchimento), c.esperado);
}
INSTANTIATE_TEST_SUITE_P(
    Exemplos, CompletaDireita,
    ::testing::Values(TCasoTexto{"ab", 5, "-", "ab---"}, TCasoTexto{"abcd", 4, "-", "abcd"},
                      TCasoTexto{"abcdef", 4, "-", "abcdef"}, TCasoTexto{"a", 3, "xy", "axyxy"},
                      TCasoTexto{"", 0, "-", ""}, TCasoTexto{"x", -3, "-", "x"},
                      TCasoTexto{"-", 127, "-", std::string(127, '-')}));

class CompletaEsquerda : public ::testing::TestWithParam<TCasoTexto> {};
TEST_P(CompletaEsquerda, PrependsTheFillAndNeverCuts) {
    const auto& c = GetParam();
    EXPECT_EQ(TImpres::CompletaEsquerda(c.texto, c.largura, c.preenchimento), c.esperado);
}
INSTANTIATE_TEST_SUITE_P(
    Exemplos, CompletaEsquerda,
    ::testing::Values(TCasoTexto{"12", 5, "0", "00012"}, TCasoTexto{"1234", 4, "0", "1234"},
                      TCasoTexto{"123456", 4, "0", "123456"}, TCasoTexto{"a", 3, "xy", "xyxya"},
                      TCasoTexto{"x", -5, " ", "x"},
                      TCasoTexto{"Pagina 3", 100, " ", std::string(92, ' ') + "Pagina 3"}));

TEST(IfThen, ChoosesByTheCondition) {
    EXPECT_EQ(IfThen(true, 100, 7), 100);
    EXPECT_EQ(IfThen(false, 100, 7), 7);
    EXPECT_EQ(IfThen(false, "sim", "n\xE3o"), "n\xE3o");
    EXPECT_EQ(IfThen(false, std::string("sim")), "");
}

// ---- Placing texts ---------------------------------------------------------------------

struct TCasoColuna {
    std::string linha; // the existing line 1, or none when empty
    std::string texto;
    int coluna;
    std::string esperado;
};

class AddLinhaColuna : public ::testing::TestWithParam<TCasoColuna> {};
TEST_P(AddLinhaColuna, OverwritesUnderTheTextAndKeepsTheRest) {
    const auto& c = GetParam();
    TImpres r = NovoRelatorio();
    int linha = -1;
    if (!c.linha.empty()) {
        ASSERT_EQ(r.AddLinha(c.linha, 1, -1), 1);
        ASSERT_EQ(r.Corpo()[0], c.linha);
        linha = 1;
    }
    EXPECT_EQ(r.AddLinha(c.texto, c.coluna, linha), 1);
    ASSERT_EQ(r.Corpo().size(), 1u);
    EXPECT_EQ(r.Corpo()[0], c.esperado);
}
INSTANTIATE_TEST_SUITE_P(
    Exemplos, AddLinhaColuna,
    ::testing::Values(
        // a new line is padded to column + 1 first
        TCasoColuna{"", "AB", 3, "  AB"}, TCasoColuna{"", "X", 3, "  X "},
        TCasoColuna{"", "", 3, "    "}, TCasoColuna{"", "TEXTO", 5, "    TEXTO"},
        TCasoColuna{"", "n\xE3o", 1, "n\xE3o"},
        // over an eight-character line only the characters under the text change
        TCasoColuna{"12345678", "AB", 3, "12AB5678"},
        TCasoColuna{"12345678", "ABCDEFGH", 3, "12ABCDEFGH"},
        TCasoColuna{"12345678", "", 3, "12345678"},
        // a line shorter than the column is padded, one as long as it is not
        TCasoColuna{"ab", "X", 5, "ab  X "}, TCasoColuna{"abcd", "X", 5, "abcdX "},
        TCasoColuna{"abcde", "X", 5, "abcdX"}));

TEST(AddLinha, OnAnEmptyBodyFillsUpToTheLineNumber) {
    TImpres r = NovoRelatorio();
    EXPECT_EQ(r.AddLinha("TEXTO", 5, 3), 3);
    EXPECT_EQ(r.Corpo(), (TEntradas{"", "", "    TEXTO"}));
    EXPECT_EQ(r.AddLinha("FIM", 3, -1), 4);
    EXPECT_EQ(r.Corpo(), (TEntradas{"", "", "    TEXTO", "  FIM"}));
    // an existing line number adds nothing
    EXPECT_EQ(r.AddLinha("Z", 1, 2), 4);
    EXPECT_EQ(r.Corpo()[1], "Z ");
}

TEST(AddTitulo, PlacesInTheTitleBlockOnly) {
    TImpres r = NovoRelatorio();
    EXPECT_EQ(r.AddTitulo("UM", 3, -1), 1);
    EXPECT_EQ(r.AddTitulo("DOIS", 3, -1), 2);
    EXPECT_EQ(r.AddTitulo("X", 2, 4), 4);
    EXPECT_EQ(r.Titulo(), (TEntradas{"  UM", "  DOIS", "", " X "}));
    EXPECT_TRUE(r.Corpo().empty());
}

TEST(AddSeparador, AppendsARuleAtColumnThree) {
    TImpres r = NovoRelatorio();
    r.AddLinha("antes", 3, -1);
    EXPECT_EQ(r.AddSeparador("-", 127), 2);
    EXPECT_EQ(r.Corpo()[1], "  " + std::string(127, '-'));
    EXPECT_EQ(r.AddSeparador("=", 3), 3);
    EXPECT_EQ(r.Corpo()[2], "  ===");
}

struct TCasoIndice {
    int linha;
    std::string mensagem;
};

class LinhaInexistente : public ::testing::TestWithParam<TCasoIndice> {};
TEST_P(LinhaInexistente, FailsAndLeavesTheBlockAsItWas) {
    const auto& c = GetParam();
    TImpres r = NovoRelatorio();
    r.AddLinha("corpo", 3, -1);
    r.AddTitulo("titulo", 3, -1);
    try {
        r.AddLinha("x", 3, c.linha);
        ADD_FAILURE() << "AddLinha did not fail";
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(), c.mensagem);
    }
    try {
        r.AddTitulo("x", 3, c.linha);
        ADD_FAILURE() << "AddTitulo did not fail";
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(), c.mensagem);
    }
    EXPECT_EQ(r.Corpo(), (TEntradas{"  corpo"}));
    EXPECT_EQ(r.Titulo(), (TEntradas{"  titulo"}));
}
INSTANTIATE_TEST_SUITE_P(Exemplos, LinhaInexistente,
                         ::testing::Values(TCasoIndice{0, "List index out of bounds (-1)"},
                                           TCasoIndice{-2, "List index out of bounds (-3)"},
                                           TCasoIndice{-100, "List index out of bounds (-101)"}));

// ---- The paginating list -----------------------------------------------------------------

TEST(TRelatorio, FirstEntryBringsAnUncountedLineEndAndTheDateLine) {
    TRelatorio r(TFormatSettings::BrasilPadrao(), RelogioFixo);
    r.ImprimeDataHora(true);
    EXPECT_EQ(r.Add("x"), 2);
    EXPECT_EQ(r.Linhas(), (TEntradas{"\r\n", LinhaData(1), "x"}));
    EXPECT_EQ(r.ContaLinhas(), 2);
    EXPECT_EQ(r.Add("y"), 3);
    EXPECT_EQ(r.ContaLinhas(), 3);

    TRelatorio semData(TFormatSettings::BrasilPadrao(), RelogioFixo);
    EXPECT_EQ(semData.Add("x"), 0);
    EXPECT_EQ(semData.ContaLinhas(), 1);
}

TEST(TRelatorio, AddReturnsTheLinesIndexEvenWhenABreakFollowsIt) {
    TRelatorio r(TFormatSettings::BrasilPadrao(), RelogioFixo);
    r.LinhasPorPagina(2);
    EXPECT_EQ(r.Add("a"), 0);
    EXPECT_EQ(r.Add("b"), 1);
    EXPECT_EQ(r.Add("c"), 2);      // the counter stood at 2: the break follows "c"
    EXPECT_EQ(r.ContaLinhas(), 2); // the form feed and "c" itself
    EXPECT_EQ(r.Add("d"), 4);
    EXPECT_EQ(r.Linhas(), (TEntradas{"a", "b", "c", "\f", "d", "\f"}));
    EXPECT_EQ(r.NumeroPagina(), 3);
    EXPECT_EQ(r.ContaLinhas(), 2);
}

struct TCasoLargura {
    int largura;
    int pagina;
    int campo;
    size_t comprimento;
};

class LinhaDataHora : public ::testing::TestWithParam<TCasoLargura> {};
TEST_P(LinhaDataHora, PageFieldFollowsTheWidth) {
    const auto& c = GetParam();
    TRelatorio r(TFormatSettings::BrasilPadrao(), RelogioFixo);
    r.Largura(c.largura);
    for (int p = 1; p < c.pagina; ++p)
        r.QuebraPagina();
    ASSERT_EQ(r.NumeroPagina(), c.pagina);
    std::string linha = r.LinhaDataHora();
    EXPECT_EQ(linha, LinhaData(c.pagina, c.campo));
    EXPECT_EQ(linha.size(), c.comprimento);
}
INSTANTIATE_TEST_SUITE_P(
    Exemplos, LinhaDataHora,
    ::testing::Values(TCasoLargura{0, 1, 100, 128}, TCasoLargura{0, 3, 100, 128},
                      TCasoLargura{0, 12, 100, 128}, TCasoLargura{127, 1, 101, 129},
                      TCasoLargura{35, 1, 9, 37}, // one blank
                      TCasoLargura{34, 1, 8, 36}, // just the page text
                      TCasoLargura{20, 1, -6, 36}, TCasoLargura{1, 10, -25, 37}));

namespace {
int minutosDoRelogio = 0;
TDataHora RelogioQueAnda() {
    return {{2026, 12, 31}, 23, minutosDoRelogio++, 0};
}
} // namespace

TEST(TRelatorio, DateLineTakesTheClockAndSeparatorsWhenAdded) {
    TFormatSettings formato;
    formato.DateSeparator = '-';
    formato.TimeSeparator = '.';
    minutosDoRelogio = 0;
    TRelatorio r(formato, RelogioQueAnda);
    r.ImprimeDataHora(true);
    r.LinhasPorPagina(3);
    for (const char* l : {"a", "b", "c"})
        r.Add(l);
    EXPECT_EQ(r.Linhas(), (TEntradas{"\r\n", LinhaData(1, 100, "31-12-2026 23.00"), "a", "b", "c",
                                     "\f", LinhaData(2, 100, "31-12-2026 23.01")}));
}

// ---- Pagination through the builder and the saved bytes ------------------------------------

TEST(Visualiza, WithoutDateLinesThreeLinesPerPageAndEightLines) {
    TempDir dir;
    TImpres r = NovoRelatorio();
    r.ImprimeDataHora(false);
    r.LinhasPorPagina(3);
    for (int i = 1; i <= 8; ++i)
        r.AddLinha("L" + std::to_string(i), 1, -1);
    auto arquivo = dir.Path() / "Relatorio.txt";
    r.Visualiza(arquivo.string());
    TEntradas esperado{"L1", "L2", "L3", "L4", "\f", "L5", "L6", "\f", "L7", "L8", "\f"};
    EXPECT_EQ(r.Corpo(), esperado);
    EXPECT_EQ(ReadAll(arquivo), Bytes(esperado));
    ASSERT_NE(r.Relatorio(), nullptr);
    EXPECT_EQ(r.Relatorio()->NumeroPagina(), 4);
}

struct TCasoAvanco {
    const char* nome;
    TEntradas corpo;
    TEntradas esperado;
};

class AvancoDePagina : public ::testing::TestWithParam<TCasoAvanco> {};
TEST_P(AvancoDePagina, BodyLinesWithFormFeedsForceBreaks) {
    const auto& c = GetParam();
    TempDir dir;
    TImpres r = NovoRelatorio();
    r.ImprimeDataHora(false);
    for (const auto& l : c.corpo)
        r.AddLinha(l, 1, -1);
    auto arquivo = dir.Path() / "Relatorio.txt";
    r.Visualiza(arquivo.string());
    EXPECT_EQ(r.Corpo(), c.esperado);
    EXPECT_EQ(ReadAll(arquivo), Bytes(c.esperado));
}
INSTANTIATE_TEST_SUITE_P(
    Linhas, AvancoDePagina,
    ::testing::Values(TCasoAvanco{"OnlyFormFeed", {"ab", "\f", "cd"}, {"ab", "\f", "cd"}},
                      TCasoAvanco{"FormFeedThenText", {"ab", "\fxyz"}, {"ab", "\f", "xyz"}},
                      TCasoAvanco{"TextAroundFormFeed", {"ab", "x\fy"}, {"ab", "\f", "xy"}},
                      TCasoAvanco{"TwoFormFeeds", {"ab", "x\fy\fz"}, {"ab", "\f", "xy\fz"}},
                      TCasoAvanco{"FormFeedAmongBlanks", {"ab", " \f\t "}, {"ab", "\f"}},
                      TCasoAvanco{"SecondFormFeedAlone", {"ab", "\f\f"}, {"ab", "\f"}},
                      TCasoAvanco{"AddedUntrimmed", {"ab", "\f  cd  "}, {"ab", "\f", "  cd  "}},
                      TCasoAvanco{"VeryFirstLine", {"\f"}, {"\f"}}),
    [](const auto& info) { return std::string(info.param.nome); });

TEST(Visualiza, FormFeedAsFirstLineOfReportWithDateLines) {
    TempDir dir;
    TImpres r = NovoRelatorio();
    r.AddLinha("\fabc", 1, -1);
    auto arquivo = dir.Path() / "Relatorio.txt";
    r.Visualiza(arquivo.string());
    TEntradas esperado{"\r\n", LinhaData(1), "\f", LinhaData(2), "abc"};
    EXPECT_EQ(r.Corpo(), esperado);
    EXPECT_EQ(ReadAll(arquivo),
              "\r\n\r\n" + LinhaData(1) + "\r\n\f\r\n" + LinhaData(2) + "\r\nabc\r\n");
}

TEST(Visualiza, PageBegunByAForcedBreakHoldsOneEntryMore) {
    TImpres r = NovoRelatorio();
    r.ImprimeDataHora(false);
    r.LinhasPorPagina(3);
    for (const char* l : {"\f", "aa", "bb", "cc", "dd"})
        r.AddLinha(l, 1, -1);
    r.MontaPaginas();
    EXPECT_EQ(r.Corpo(), (TEntradas{"\f", "aa", "bb", "cc", "\f", "dd"}));
}

TEST(Visualiza, BlocksHeadTheFirstPageAndRepeatOnlyWhenAsked) {
    TImpres sem = NovoRelatorio();
    sem.ImprimeDataHora(false);
    sem.LinhasPorPagina(4);
    sem.Cabecalho().push_back("CAB");
    sem.AddTitulo("TIT", 1, -1);
    for (const char* l : {"b1", "b2", "b3", "b4", "b5"})
        sem.AddLinha(l, 1, -1);
    sem.MontaPaginas();
    EXPECT_EQ(sem.Corpo(), (TEntradas{"CAB", "TIT", "b1", "b2", "b3", "\f", "b4", "b5"}));

    TImpres com = NovoRelatorio();
    com.ImprimeDataHora(false);
    com.LinhasPorPagina(4);
    com.RepeteCabecalho(true);
    com.RepeteTitulo(true);
    com.Cabecalho().push_back("CAB");
    com.AddTitulo("TIT", 1, -1);
    for (const char* l : {"b1", "b2", "b3", "b4", "b5"})
        com.AddLinha(l, 1, -1);
    com.MontaPaginas();
    EXPECT_EQ(com.Corpo(), (TEntradas{"CAB", "TIT", "b1", "b2", "b3", "\f", "CAB", "TIT", "b4",
                                      "\f", "CAB", "TIT", "b5", "\f", "CAB", "TIT"}));
    EXPECT_EQ(com.Cabecalho(), (TEntradas{"CAB"}));
    EXPECT_EQ(com.Titulo(), (TEntradas{"TIT"}));
}

TEST(Visualiza, SettingsAreReadWhenItRuns) {
    TImpres r = NovoRelatorio();
    for (const char* l : {"aa", "bb", "cc"})
        r.AddLinha(l, 1, -1);
    r.ImprimeDataHora(false);
    r.LinhasPorPagina(2);
    r.MontaPaginas();
    EXPECT_EQ(r.Corpo(), (TEntradas{"aa", "bb", "cc", "\f"}));
}

TEST(Visualiza, PagesNoLongerThanABreakStillEnd) {
    // Outside the limits of the page length: every body line gets a page of its own.
    TImpres r = NovoRelatorio();
    r.LinhasPorPagina(1);
    r.AddLinha("aa", 1, -1);
    r.AddLinha("bb", 1, -1);
    r.MontaPaginas();
    EXPECT_EQ(r.Corpo(), (TEntradas{"\r\n", LinhaData(1), "aa", "\f", LinhaData(2), "bb", "\f",
                                    LinhaData(3)}));

    TImpres zero = NovoRelatorio();
    zero.ImprimeDataHora(false);
    zero.LinhasPorPagina(0);
    zero.AddLinha("aa", 1, -1);
    zero.AddLinha("bb", 1, -1);
    zero.MontaPaginas();
    EXPECT_EQ(zero.Corpo(), (TEntradas{"aa", "\f", "bb", "\f"}));
}

TEST(Visualiza, WidthSetsThePageFieldInTheFile) {
    TempDir dir;
    TImpres r = NovoRelatorio();
    r.Largura(127);
    r.AddLinha("x", 3, -1);
    auto arquivo = dir.Path() / "Relatorio.txt";
    r.Visualiza(arquivo.string());
    std::string linha = LinhaData(1, 101);
    ASSERT_EQ(linha.size(), 129u);
    EXPECT_EQ(ReadAll(arquivo), "\r\n\r\n" + linha + "\r\n  x \r\n");
}

TEST(Visualiza, ReplacesAnExistingFileWithSingleBytes) {
    TempDir dir;
    std::string arquivo = dir.Write("Relatorio.txt", std::string(5000, 'x'));
    TImpres r = NovoRelatorio();
    r.ImprimeDataHora(false);
    r.AddLinha("n\xE3o", 3, -1);
    r.Visualiza(arquivo);
    EXPECT_EQ(ReadAll(arquivo), "  n\xE3o\r\n");
}
