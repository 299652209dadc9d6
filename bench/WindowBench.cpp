// What the window costs the import run per line, on the offscreen platform: processing the
// pending messages of an idle window, showing and restoring the wait pointer around a
// statement, and advancing the gauge by one (repainted only when what it draws changes).
#include "ScriptedDialogs.h"
#include "app/Aplicacao.h"
#include "app/UDM.h"
#include "platform/CursorEspera.h"
#include "ui/Gauge.h"
#include "ui/UImportarCadOferta.h"

#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// The real window, without a server: its start-up message is answered by the scripted
// dialogs and it opens all the same, as it does at a store whose server is down. Made on first
// use, and gone before the application object.
std::unique_ptr<TDM> dm;
std::unique_ptr<TFImportarCadOfertas> janela;

TFImportarCadOfertas& Janela() {
    if (!janela) {
        ScriptedDialogs::Install();
        dm = std::make_unique<TDM>();
        janela = std::make_unique<TFImportarCadOfertas>(dm->ParaJanela());
        janela->show();
        if (!QTest::qWaitForWindowExposed(janela.get()))
            std::abort();
        QCoreApplication::processEvents();
    }
    return *janela;
}

void FechaJanela() {
    janela.reset();
    dm.reset();
    ScriptedDialogs::Uninstall();
}

void BM_ProcessaMensagens(benchmark::State& state) {
    TFImportarCadOfertas& janela = Janela();
    for (auto _ : state)
        janela.ProcessaMensagens();
}
BENCHMARK(BM_ProcessaMensagens);

// One statement's wait pointer, alone and inside one held around a whole line.
void BM_CursorEspera(benchmark::State& state) {
    Janela();
    std::unique_ptr<TCursorEspera> externo;
    if (state.range(0))
        externo = std::make_unique<TCursorEspera>();
    for (auto _ : state) {
        TCursorEspera cursor;
        benchmark::DoNotOptimize(&cursor);
    }
}
BENCHMARK(BM_CursorEspera)->Arg(0)->Arg(1)->ArgName("inside_a_line");

// A whole run's worth of gauge steps for a file of range(0) lines, per step.
void BM_AvancaProgresso(benchmark::State& state) {
    TFImportarCadOfertas& janela = Janela();
    const int linhas = static_cast<int>(state.range(0));
    janela.Gauge1->SetProgress(0);
    janela.Gauge1->SetMaxValue(linhas + 1);
    QCoreApplication::processEvents();
    const int pinturas = janela.Gauge1->Pinturas();
    int passos = 0;
    for (auto _ : state) {
        if (janela.Gauge1->Progress() >= linhas) {
            state.PauseTiming();
            janela.Gauge1->SetProgress(0);
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
        janela.AvancaProgresso();
        ++passos;
    }
    state.counters["paints_per_1000_steps"] =
        1000.0 * (janela.Gauge1->Pinturas() - pinturas) / std::max(passos, 1);
}
BENCHMARK(BM_AvancaProgresso)->Arg(10000)->Arg(50000);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TAplicacao app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FechaJanela();
    return 0;
}
