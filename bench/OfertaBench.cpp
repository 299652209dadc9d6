// Speed of the offer file: loading and splitting a file of 1,000,000 lines, and parsing every
// data line (split, normalise the barcode, convert the price, both text forms of the price).
#include "import/LinhaOferta.h"
#include "import/OfertaArquivo.h"
#include "import/Preco.h"
#include "platform/LeituraArquivo.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int NumeroLinhas = 1'000'000;

double PicoMemoriaMB() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

// A temporary offer file of NumeroLinhas lines (a heading and data lines with CR LF), written
// in pieces so that making it costs no memory; removed at exit.
class ArquivoOferta {
public:
    ArquivoOferta() {
        std::string modelo =
            (std::filesystem::temp_directory_path() / "cadofertas-bench-XXXXXX").string();
        if (!::mkdtemp(modelo.data()))
            throw std::runtime_error("mkdtemp failed");
        pasta_ = modelo;
        nome_ = (pasta_ / "oferta.csv").string();
        std::FILE* f = std::fopen(nome_.c_str(), "wb");
        if (!f)
            throw std::runtime_error("cannot create " + nome_);
        const char* sufixos[] = {"", " UN", " 5 KG", " CAIXA C/12", " 1 L", " PCT 500 G"};
        std::string pedaco = "BARRAS;DESCRICAO;PRECO;\r\n";
        char linha[128];
        for (int i = 1; i < NumeroLinhas; ++i) {
            int n = std::snprintf(linha, sizeof linha, "789%010d;PRODUTO %07d%s;%d,%02d;\r\n",
                                  i * 7, i, sufixos[i % 6], i % 500, i % 100);
            pedaco.append(linha, static_cast<std::size_t>(n));
            if (pedaco.size() > (1 << 20)) {
                std::fwrite(pedaco.data(), 1, pedaco.size(), f);
                pedaco.clear();
            }
        }
        std::fwrite(pedaco.data(), 1, pedaco.size(), f);
        std::fclose(f);
        tamanho_ = std::filesystem::file_size(nome_);
        picoAntes_ = PicoMemoriaMB();
    }
    ~ArquivoOferta() {
        std::error_code ignorado;
        std::filesystem::remove_all(pasta_, ignorado);
    }
    const std::string& Nome() const { return nome_; }
    std::uintmax_t Tamanho() const { return tamanho_; }
    // The process's peak memory before the file was ever loaded.
    double PicoAntesDeCarregar() const { return picoAntes_; }

private:
    std::filesystem::path pasta_;
    std::string nome_;
    std::uintmax_t tamanho_ = 0;
    double picoAntes_ = 0;
};

const ArquivoOferta& Arquivo() {
    static ArquivoOferta arquivo;
    return arquivo;
}

// Registered first, so that the process's peak memory is that of one load.
void BM_CarregaLinhas(benchmark::State& state) {
    const ArquivoOferta& arquivo = Arquivo();
    TLinhasArquivo linhas;
    for (auto _ : state) {
        CarregaLinhas(arquivo.Nome(), linhas);
        benchmark::DoNotOptimize(linhas.size());
    }
    if (linhas.size() != NumeroLinhas)
        state.SkipWithError("wrong number of lines");
    const double pico = PicoMemoriaMB();
    const double arquivoMB = static_cast<double>(arquivo.Tamanho()) / (1024.0 * 1024.0);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(arquivo.Tamanho()));
    state.counters["file_MB"] = arquivoMB;
    state.counters["peak_rss_MB"] = pico;
    state.counters["peak_before_MB"] = arquivo.PicoAntesDeCarregar();
    state.counters["load_peak_per_file"] = (pico - arquivo.PicoAntesDeCarregar()) / arquivoMB;
}
BENCHMARK(BM_CarregaLinhas)->Unit(benchmark::kMillisecond);

void BM_LerLinhasOferta(benchmark::State& state) {
    TLinhasArquivo linhas;
    CarregaLinhas(Arquivo().Nome(), linhas);
    const TFormatSettings formato = TFormatSettings::BrasilPadrao();
    for (auto _ : state) {
        std::size_t total = 0;
        for (std::size_t i = 1; i < linhas.size(); ++i) {
            TLinhaOferta oferta = LerLinhaOferta(linhas[i], formato);
            total += NormalizaBarras(oferta.Barras).size() + oferta.Descricao.size() +
                     PrecoParaSQL(oferta.Preco).size() +
                     PrecoParaRelatorio(oferta.Preco, formato).size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(linhas.size() - 1));
    state.counters["peak_rss_MB"] = PicoMemoriaMB();
}
BENCHMARK(BM_LerLinhasOferta)->Unit(benchmark::kMillisecond);

// The plain whole-file read of the platform layer, for comparison (its peak memory is only its
// own when it runs alone: --benchmark_filter=BM_LerArquivoInteiro).
void BM_LerArquivoInteiro(benchmark::State& state) {
    const ArquivoOferta& arquivo = Arquivo();
    for (auto _ : state) {
        std::string texto = LerArquivoInteiro(arquivo.Nome());
        benchmark::DoNotOptimize(texto.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(arquivo.Tamanho()));
    state.counters["peak_rss_MB"] = PicoMemoriaMB();
}
BENCHMARK(BM_LerArquivoInteiro)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
