// Building, paginating and saving the report of products not found, at 100,000 body lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "import/RelatorioAusentes.h"
#include "report/ClassImpressao.h"

namespace {

constexpr int Produtos = 100000;

// The import's report with that many products not found, laid out as the import lays it out.
void Monta(TImpres& r, int produtos) {
    RelatorioAusentes::Titulos(r);
    std::string linha;
    for (int i = 1; i <= produtos; ++i) {
        RelatorioAusentes::LinhaProduto(linha, std::to_string(7890000000000LL + i),
                                        "PRODUTO EM OFERTA " + std::to_string(i), "1.234,56");
        r.AddLinha(linha, 3, -1);
    }
    RelatorioAusentes::Total(r, produtos, '.');
}

std::string ArquivoTemporario() {
    return (std::filesystem::temp_directory_path() /
            ("report-bench-" + std::to_string(::getpid()) + ".txt"))
        .string();
}

// The whole of Visualiza but the viewer: build, paginate, save.
void BM_MontaPaginaSalva(benchmark::State& state) {
    std::string arquivo = ArquivoTemporario();
    for (auto _ : state) {
        TImpres r;
        Monta(r, static_cast<int>(state.range(0)));
        r.MontaPaginas();
        SalvaLinhas(r.Corpo(), arquivo);
        benchmark::DoNotOptimize(r.Corpo().size());
    }
    std::remove(arquivo.c_str());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MontaPaginaSalva)->Arg(Produtos)->Unit(benchmark::kMillisecond);

void BM_Monta(benchmark::State& state) {
    for (auto _ : state) {
        TImpres r;
        Monta(r, static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(r.Corpo().size());
    }
}
BENCHMARK(BM_Monta)->Arg(Produtos)->Unit(benchmark::kMillisecond);

void BM_MontaPaginas(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto r = std::make_unique<TImpres>();
        Monta(*r, static_cast<int>(state.range(0)));
        state.ResumeTiming();
        r->MontaPaginas();
        benchmark::DoNotOptimize(r->Corpo().size());
        state.PauseTiming();
        r.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MontaPaginas)->Arg(Produtos)->Unit(benchmark::kMillisecond);

void BM_SalvaLinhas(benchmark::State& state) {
    std::string arquivo = ArquivoTemporario();
    TImpres r;
    Monta(r, static_cast<int>(state.range(0)));
    r.MontaPaginas();
    for (auto _ : state)
        SalvaLinhas(r.Corpo(), arquivo);
    std::remove(arquivo.c_str());
}
BENCHMARK(BM_SalvaLinhas)->Arg(Produtos)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
