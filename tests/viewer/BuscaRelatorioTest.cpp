// Finding a text in the report's pages, without a window: where the search starts, its
// direction, going round the ends once, and letter case.
#include "viewer/BuscaRelatorio.h"

#include <gtest/gtest.h>

namespace {

const QStringList Paginas = {QStringLiteral("arroz feijao ARROZ"), QStringLiteral("sem nada"),
                             QString(), QStringLiteral("arroz integral")};

struct Caso {
    const char* nome;
    const char* texto;
    int pagina;
    qsizetype de;
    bool paraTras;
    Qt::CaseSensitivity caixa;
    std::optional<TOcorrencia> esperado;
};

class Localiza : public testing::TestWithParam<Caso> {};

TEST_P(Localiza, FindsTheNextOccurrenceFromWhereTheReaderStands) {
    const Caso& c = GetParam();
    const auto achado = LocalizaNasPaginas(Paginas, QString::fromLatin1(c.texto), c.pagina, c.de,
                                           c.paraTras, c.caixa);
    ASSERT_EQ(achado.has_value(), c.esperado.has_value());
    if (achado) {
        EXPECT_EQ(achado->Pagina, c.esperado->Pagina);
        EXPECT_EQ(achado->Posicao, c.esperado->Posicao);
        EXPECT_EQ(achado->DeuVolta, c.esperado->DeuVolta);
    }
}

constexpr auto Sim = Qt::CaseSensitive;
constexpr auto Nao = Qt::CaseInsensitive;

INSTANTIATE_TEST_SUITE_P(
    Casos, Localiza,
    testing::Values(
        Caso{"FromTheStart", "arroz", 0, 0, false, Nao, TOcorrencia{0, 0, false}},
        Caso{"AfterTheSelectionOnTheSamePageIgnoringCase", "arroz", 0, 5, false, Nao,
             TOcorrencia{0, 13, false}},
        Caso{"CaseSensitiveSkipsTheCapitals", "arroz", 0, 5, false, Sim, TOcorrencia{3, 0, false}},
        Caso{"OverEmptyPagesToTheLast", "integral", 1, 0, false, Sim, TOcorrencia{3, 6, false}},
        Caso{"PastTheLastPageRoundToTheFirst", "feijao", 3, 5, false, Sim, TOcorrencia{0, 6, true}},
        Caso{"BackwardsBeforeTheSelection", "arroz", 0, 12, true, Nao, TOcorrencia{0, 0, false}},
        Caso{"BackwardsPastTheFirstPageRoundToTheLast", "arroz", 0, -1, true, Sim,
             TOcorrencia{3, 0, true}},
        Caso{"OnlyOccurrenceIsTheOneSelectedFoundAgainAfterGoingRound", "nada", 1, 8, false, Sim,
             TOcorrencia{1, 4, true}},
        Caso{"Nowhere", "trigo", 2, 0, false, Nao, std::nullopt},
        Caso{"AnEmptyTextIsNotLookedFor", "", 0, 0, false, Nao, std::nullopt}),
    [](const testing::TestParamInfo<Caso>& info) { return std::string(info.param.nome); });

TEST(LocalizaSemPaginas, NothingToFind) {
    EXPECT_FALSE(LocalizaNasPaginas({}, QStringLiteral("x"), 0, 0, false, Qt::CaseSensitive));
}

} // namespace
