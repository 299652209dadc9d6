// Building, paginating and saving the report of products not found, at 100,000 body lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "report/ClassImpressao.h"

namespace {

constexpr int Produtos = 100000;

std::string LinhaProduto(int i) {
    std::string descricao = "PRODUTO EM OFERTA " + std::to_string(i);
    descricao.resize(50, ' ');
    return " " + TImpres::CompletaEsquerda(std::to_string(7890000000000LL + i), 13, "0") + "    " +
           descricao + " " + TImpres::CompletaEsquerda("1.234,56", 10, " ");
}

void Monta(TImpres& r, int produtos) {
    r.RepeteTitulo(true);
    r.AddTitulo(r.Centraliza("R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S",
                             127, " "),
                3, -1);
    r.AddTitulo(r.CompletaDireita("-", 127, "-"), 3, -1);
    r.AddTitulo("        BARRAS    DESCRICAO                                               PRECO",
                3, -1);
    r.AddTitulo(r.CompletaDireita("-", 127, "-"), 3, -1);
    for (int i = 1; i <= produtos; ++i)
        r.AddLinha(LinhaProduto(i), 3, -1);
    r.AddSeparador("-", 127);
    r.AddLinha("Total Produtos n\xE3o importados: " + std::to_string(produtos), 3, -1);
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
