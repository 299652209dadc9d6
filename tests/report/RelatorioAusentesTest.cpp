// The import's report of products not found, as the import lays it out, page by page.
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
