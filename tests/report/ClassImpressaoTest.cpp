#include "report/ClassImpressao.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "TempDir.h"
#include "ViewerTestSupport.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/util2.h"

namespace fs = std::filesystem;

namespace {

using TEntradas = std::vector<std::string>;

TDataHora RelogioFixo() {
    return {{2026, 3, 7}, 9, 5, 42};
}
const std::string DataHoraFixa = "07/03/2026 09:05";

// What a saved report holds: every entry followed by CR LF.
std::string Bytes(const TEntradas& entradas) {
    std::string bytes;
    for (const auto& e : entradas)
        bytes += e + "\r\n";
    return bytes;
}

// The date/time-and-page line: the words, the date and time, the page text right-aligned in
// its field.
std::string LinhaData(int pagina, int campo = 100, const std::string& dataHora = DataHoraFixa) {
    std::string texto = "Pagina " + std::to_string(pagina);
    std::string linha = "  Data/Hora " + dataHora;
    if (static_cast<int>(texto.size()) < campo)
        linha += std::string(campo - texto.size(), ' ');
    return linha + texto;
}

TImpres NovoRelatorio() {
    return TImpres(TFormatSettings::BrasilPadrao(), RelogioFixo);
}

// Restores the current folder when it goes.
class TPastaAtual {
public:
    explicit TPastaAtual(const fs::path& nova) : antes_(fs::current_path()) {
        fs::current_path(nova);
    }
    ~TPastaAtual() { fs::current_path(antes_); }

private:
    fs::path antes_;
};

// ---- The import's report ---------------------------------------------------------------

const std::string TituloImportacao =
    "R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S";
const std::string Legenda =
    "        BARRAS    DESCRICAO                                               PRECO";

std::string LinhaProduto(int i) {
    std::string barras = std::to_string(7891000000000LL + i);
    std::string descricao = "A\xC7\xDA"
                            "CAR CRISTAL " +
                            std::to_string(i);
    descricao.resize(50, ' ');
    std::string preco = std::to_string(i % 100) + ",99";
    return " " + barras + "    " + descricao + " " + std::string(10 - preco.size(), ' ') + preco;
}

std::string LinhaTotal(int produtos) {
    return "Total Produtos n\xE3o importados: " + AgrupaMilhares(std::to_string(produtos), '.');
}

// Builds the report the way the import does.
void MontaComoAImportacao(TImpres& r, int produtos) {
    r.RepeteTitulo(true);
    r.AddTitulo(r.Centraliza(TituloImportacao, 127, " "), 3, -1);
    r.AddTitulo(r.CompletaDireita("-", 127, "-"), 3, -1);
    r.AddTitulo(Legenda, 3, -1);
    r.AddTitulo(r.CompletaDireita("-", 127, "-"), 3, -1);
    for (int i = 1; i <= produtos; ++i)
        r.AddLinha(LinhaProduto(i), 3, -1);
    r.AddSeparador("-", 127);
    r.AddLinha(LinhaTotal(produtos), 3, -1);
}

TEntradas TitulosEsperados() {
    return {"  " + std::string(30, ' ') + TituloImportacao + std::string(30, ' '),
            "  " + std::string(127, '-'), "  " + Legenda, "  " + std::string(127, '-')};
}

// The layout of the import's report: page 1 holds up to 62 body lines, every later page up
// to 60; a page that fills up is followed by a new one, even after the last line.
std::vector<TEntradas> PaginasEsperadas(int produtos) {
    TEntradas corpo;
    for (int i = 1; i <= produtos; ++i)
        corpo.push_back("  " + LinhaProduto(i));
    corpo.push_back("  " + std::string(127, '-'));
    corpo.push_back("  " + LinhaTotal(produtos));

    std::vector<TEntradas> paginas;
    size_t proxima = 0;
    bool cheia = true;
    while (proxima < corpo.size() || cheia) {
        int numero = static_cast<int>(paginas.size()) + 1;
        size_t capacidade = numero == 1 ? 62 : 60;
        TEntradas pagina{numero == 1 ? "\r\n" : "\f", LinhaData(numero)};
        for (const auto& t : TitulosEsperados())
            pagina.push_back(t);
        size_t fim = std::min(corpo.size(), proxima + capacidade);
        pagina.insert(pagina.end(), corpo.begin() + static_cast<long>(proxima),
                      corpo.begin() + static_cast<long>(fim));
        cheia = fim - proxima == capacidade;
        proxima = fim;
        paginas.push_back(pagina);
    }
    return paginas;
}

// The saved file cut at its form-feed lines.
std::vector<std::string> CortaPaginas(const std::string& bytes) {
    std::vector<std::string> paginas;
    size_t inicio = 0;
    for (;;) {
        size_t avanco = bytes.find("\f\r\n", inicio);
        paginas.push_back(bytes.substr(inicio, avanco - inicio));
        if (avanco == std::string::npos)
            return paginas;
        inicio = avanco + 3;
    }
}

} // namespace

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

// The import's report, page by page: the saved bytes against the layout.
class RelatorioDaImportacao : public ::testing::TestWithParam<int> {};
TEST_P(RelatorioDaImportacao, PagesHoldSixtyTwoThenSixtyBodyLines) {
    int produtos = GetParam();
    TempDir dir;
    TImpres r = NovoRelatorio();
    MontaComoAImportacao(r, produtos);
    auto arquivo = dir.Path() / "Relatorio.txt";
    r.Visualiza(arquivo.string());

    std::vector<TEntradas> paginas = PaginasEsperadas(produtos);
    std::string bytes = ReadAll(arquivo);
    std::vector<std::string> cortadas = CortaPaginas(bytes);
    ASSERT_EQ(cortadas.size(), paginas.size());
    for (size_t p = 0; p < paginas.size(); ++p) {
        TEntradas semAvanco(paginas[p].begin() + (p == 0 ? 0 : 1), paginas[p].end());
        EXPECT_EQ(cortadas[p], Bytes(semAvanco)) << "page " << p + 1;
    }
    TEntradas todas;
    for (const auto& p : paginas)
        todas.insert(todas.end(), p.begin(), p.end());
    EXPECT_EQ(bytes, Bytes(todas));
    EXPECT_EQ(r.Corpo(), todas);
}
// 60 and 120: the total line fills its page, and an empty page (form feed, date line, titles)
// ends the report; 61: the rule ends page 1, the total starts page 2.
INSTANTIATE_TEST_SUITE_P(Produtos, RelatorioDaImportacao,
                         ::testing::Values(0, 1, 59, 60, 61, 62, 63, 120, 122, 130, 10000));

TEST(RelatorioDaImportacaoExemplos, OneHundredThirtyProductsOnThreePages) {
    TempDir dir;
    TImpres r = NovoRelatorio();
    MontaComoAImportacao(r, 130);
    auto arquivo = dir.Path() / "Relatorio.txt";
    r.Visualiza(arquivo.string());
    std::string bytes = ReadAll(arquivo);
    ASSERT_EQ(bytes.substr(0, 4), "\r\n\r\n");
    std::vector<std::string> paginas = CortaPaginas(bytes.substr(4));
    ASSERT_EQ(paginas.size(), 3u);

    std::string titulos = Bytes(TitulosEsperados());
    struct {
        int primeiro, ultimo;
    } faixas[] = {{1, 62}, {63, 122}, {123, 130}};
    for (int p = 0; p < 3; ++p) {
        std::string esperada = LinhaData(p + 1) + "\r\n" + titulos;
        for (int i = faixas[p].primeiro; i <= faixas[p].ultimo; ++i)
            esperada += "  " + LinhaProduto(i) + "\r\n";
        if (p == 2)
            esperada += "  " + std::string(127, '-') + "\r\n" +
                        "  Total Produtos n\xE3o importados: 130\r\n";
        EXPECT_EQ(paginas[p], esperada) << "page " << p + 1;
    }
    EXPECT_EQ(r.Relatorio()->NumeroPagina(), 3);
}

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
