// The report viewer's start on a report of 10,000 lines: reading and splitting the file, and
// the window made, shown and painted with its first page (offscreen).
//
//   viewer_bench [benchmark options]           runs the benchmarks
//   viewer_bench --relatorio FILE LINES        only writes an import-like report of about
//                                              that many lines (for viewer-start.sh)
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "import/RelatorioAusentes.h"
#include "report/ClassImpressao.h"
#include "viewer/PaginasRelatorio.h"
#include "viewer/UVisualizador.h"

namespace {

constexpr int LinhasDoRelatorio = 10000;

// The import's report with enough products for about that many lines in the file (every 60
// products bring six lines of page heading).
void EscreveRelatorio(const std::string& arquivo, int linhas) {
    TImpres r;
    RelatorioAusentes::Titulos(r);
    const int produtos = linhas * 60 / 66;
    std::string linha;
    for (int i = 1; i <= produtos; ++i) {
        RelatorioAusentes::LinhaProduto(linha, std::to_string(7890000000000LL + i),
                                        "A\xC7\xDA"
                                        "CAR CRISTAL EM OFERTA " +
                                            std::to_string(i),
                                        "1.234,56");
        r.AddLinha(linha, 3, -1);
    }
    RelatorioAusentes::Total(r, produtos, '.');
    r.MontaPaginas();
    SalvaLinhas(r.Corpo(), arquivo);
}

std::string Relatorio() {
    static const std::string arquivo = [] {
        auto nome = (std::filesystem::temp_directory_path() /
                     ("viewer-bench-" + std::to_string(::getpid()) + ".txt"))
                        .string();
        EscreveRelatorio(nome, LinhasDoRelatorio);
        return nome;
    }();
    return arquivo;
}

void BM_LeDivide(benchmark::State& estado) {
    const std::string arquivo = Relatorio();
    for (auto _ : estado) {
        auto paginas = DividePaginas(LeArquivoRelatorio(arquivo));
        benchmark::DoNotOptimize(paginas);
    }
}
BENCHMARK(BM_LeDivide)->Unit(benchmark::kMillisecond);

// What main does before the message loop takes over, up to the first page painted.
void BM_AbreMostra(benchmark::State& estado) {
    const std::string arquivo = Relatorio();
    for (auto _ : estado) {
        TFVisualizador janela(132);
        janela.Abre(arquivo);
        janela.resize(1920, 1080);
        janela.show();
        QApplication::processEvents();
        QPixmap imagem = janela.grab();
        benchmark::DoNotOptimize(imagem);
    }
}
BENCHMARK(BM_AbreMostra)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--relatorio") == 0) {
        EscreveRelatorio(argv[2], std::stoi(argv[3]));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacao(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(Relatorio().c_str());
    return 0;
}
