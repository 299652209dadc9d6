// The import end to end, against the command-line client.
//
// A throwaway MariaDB server on its own loopback address holds a store database filled so
// that an offer file of N data lines has about 70% of its barcodes in `produto`, 10% only in
// `barras` and 20% nowhere. The real window, on the offscreen platform, imports the file
// through the real run and the real data module; the time from the click on "&Importar" to
// the handler's return is our time. The statements that import sent, exactly as the server's
// general log holds them, are then replayed through the `mariadb` command-line client on the
// same server and the same database state (the tables are restored before each side); the
// time from starting the client to its exit is the client's time. importa-caderno, the same run
// from the command line, imports the same file on the same restored tables as a third side,
// timed from its start to its exit, and must leave the tables as the window did. The sides take
// turns over several rounds, each side first in some round, and the medians are compared.
//
// Before the timed rounds, one untimed import (which also warms the server) measures how soon
// the window answers during a run: an event posted to it is delivered at the run's next
// processing of pending messages, and a click on "&Cancelar" posted as mouse events must
// bring up its question, answered No so that the run goes on.
//
// Usage: import_bench [--lines 10000,50000] [--rounds N] [--markdown FILE]
//                     [--address 127.0.0.40] [--durable] [--xvfb] [--relay 127.0.0.41]
// With --xvfb the window is painted through an Xvfb of the benchmark's own, as on a store's
// display, and each round of ours also shows the X server's CPU.
#include "Conf.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestServer.h"
#include "XvfbDisplay.h"
#include "app/Aplicacao.h"
#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "ui/Gauge.h"
#include "ui/UImportarCadOferta.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "OpcoesImportBench.h"
#include "support/Cliente.h"
#include "support/Comando.h"
#include "support/Estatistica.h"
#include "support/LogServidor.h"
#include "support/Loja.h"
#include "support/Maquina.h"
#include "support/Relatorio.h"
#include "support/Relay.h"
#include "support/Sonda.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------------------------

std::vector<std::string> OpcoesDoServidor(const TOpcoes& o) {
    std::vector<std::string> opcoes = {"--innodb-buffer-pool-size=256M", "--slow-query-log=1",
                                       "--long-query-time=" + Fixo(LimiteLenta, 3),
                                       "--slow-query-log-file=slow.log"}; // in the data folder
    if (!o.Duravel)
        opcoes.push_back("--innodb-flush-log-at-trx-commit=2");
    return opcoes;
}

class TBancada {
public:
    // endereco: where both sides connect, the server's or a relay's in front of it.
    TBancada(TestServer& servidor, const TOpcoes& opcoes, long pidX, std::string endereco)
        : s_(servidor), opcoes_(opcoes), log_(servidor.Folder() / "general.log"),
          lento_(servidor.Folder() / "data" / "slow.log"),
          pidServidor_(std::stol(ReadAll(servidor.Scalar("select @@pid_file")))), pidX_(pidX),
          endereco_(std::move(endereco)) {}

    TResultado Mede(int linhas);

private:
    TTempo Importa(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos, TSonda* sonda,
                   std::vector<double>* lentas = nullptr);
    // Our import on restored tables; its statements, taken from the log, become the stream
    // that the client replays next.
    TTempo ImportaECaptura(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos, TSonda* sonda,
                           TResultado& r);
    // The client's replay of the latest stream on restored tables, which must leave them as
    // the import that sent the stream did.
    TTempo ReproduzECompara();
    // importa-caderno on restored tables, which must leave them as the window's import did.
    TTempo ComandoECompara();

    std::vector<std::string> fluxo_; // the statements of the latest import
    std::string estadoFluxo_;        // the tables as that import left them
    std::string replay_;             // the file the client reads
    std::string errosCliente_;
    std::string arquivo_; // the offer file

    TestServer& s_;
    const TOpcoes& opcoes_;
    GeneralLog log_;
    fs::path lento_; // the slow query log
    long pidServidor_ = 0;
    long pidX_ = 0; // the X server's, when there is one
    std::string endereco_;
    TempDir pasta_;
};

TTempo TBancada::Importa(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos, TSonda* sonda,
                         std::vector<double>* lentas) {
    dialogos.Shown.clear();
    QCoreApplication::processEvents(); // nothing left over from before
    const std::uintmax_t inicioLento = TamanhoDe(lento_);
    if (sonda)
        sonda->Inicia();
    const TMaquina maquina = AmostraMaquina(pidServidor_, pidX_);
    const double cpu = CpuProprio();
    auto inicio = Relogio::now();
    janela.cmdImportar->click();
    TTempo tempo{Segundos(Relogio::now() - inicio), CpuProprio() - cpu};
    AnotaMaquina(tempo, maquina, AmostraMaquina(pidServidor_, pidX_));
    if (sonda)
        sonda->Para();
    if (lentas)
        *lentas = LentasDesde(lento_, inicioLento);
    QCoreApplication::processEvents();
    if (dialogos.Shown.empty() ||
        dialogos.Shown.back().Text != QStringLiteral(u"Importação concluída com sucesso!!!"))
        throw std::runtime_error("the import did not complete: " +
                                 (dialogos.Shown.empty()
                                      ? std::string("no message")
                                      : dialogos.Shown.back().Text.toStdString()));
    return tempo;
}

TTempo TBancada::ImportaECaptura(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos,
                                 TSonda* sonda, TResultado& r) {
    RestauraLoja(s_);
    const auto posicao = log_.End();
    const TTempo tempo = Importa(janela, dialogos, sonda, sonda ? &r.Lentas : nullptr);
    estadoFluxo_ = EstadoDaLoja(s_);
    auto comandos = ComandosDaImportacao(log_, posicao, r.Comandos);
    if (comandos.size() != r.Comandos)
        throw std::runtime_error("the log holds " + std::to_string(comandos.size()) +
                                 " statements of the import, not " + std::to_string(r.Comandos));
    // Every import of the file sends the same statements; only the booklet's registration
    // time, in the first one, may differ.
    if (!fluxo_.empty() && (fluxo_.size() != comandos.size() ||
                            !std::equal(comandos.begin() + 1, comandos.end(), fluxo_.begin() + 1)))
        throw std::runtime_error("two imports of the same file sent different statements");
    fluxo_ = std::move(comandos);
    std::ofstream saida(replay_, std::ios::binary | std::ios::trunc);
    for (auto& c : fluxo_) {
        if (c.find(';') != std::string::npos)
            throw std::runtime_error("a statement holds a \";\": " + c);
        saida << c << ";\n";
    }
    return tempo;
}

TTempo TBancada::ReproduzECompara() {
    RestauraLoja(s_);
    const TMaquina maquina = AmostraMaquina(pidServidor_, pidX_);
    TTempo tempo = ReproduzNoCliente(endereco_, replay_, errosCliente_);
    AnotaMaquina(tempo, maquina, AmostraMaquina(pidServidor_, pidX_));
    const std::string estado = EstadoDaLoja(s_);
    if (estado != estadoFluxo_)
        throw std::runtime_error("the replay left other tables than the import: " + estadoFluxo_ +
                                 " / " + estado);
    return tempo;
}

TTempo TBancada::ComandoECompara() {
    RestauraLoja(s_);
    const TMaquina maquina = AmostraMaquina(pidServidor_, pidX_);
    TTempo tempo = ImportaPeloComando(IMPORTA_CADERNO, arquivo_, TConnectionInfo::CaminhoArquivo(),
                                      (pasta_.Path() / "Relatorio-comando.txt").string(),
                                      (pasta_.Path() / "comando.err").string());
    AnotaMaquina(tempo, maquina, AmostraMaquina(pidServidor_, pidX_));
    const std::string estado = EstadoDaLoja(s_);
    if (estado != estadoFluxo_)
        throw std::runtime_error(
            "importa-caderno left other tables than the window: " + estadoFluxo_ + " / " + estado);
    return tempo;
}

TResultado TBancada::Mede(int linhas) {
    TResultado r;
    r.Linhas = linhas;
    const int rodadas = opcoes_.Rodadas > 0 ? opcoes_.Rodadas : (linhas <= 10000 ? 7 : 5);
    std::cout << "== " << Milhares(linhas) << " lines: preparing the store database" << std::endl;
    r.Comandos = PreparaLoja(s_, linhas);
    const std::string arquivo = pasta_.Write("oferta.csv", ArquivoOferta(linhas));
    arquivo_ = arquivo;
    replay_ = (pasta_.Path() / "replay.sql").string();
    errosCliente_ = (pasta_.Path() / "client.err").string();
    fluxo_.clear();

    ConfValues conf;
    conf.DatabaseIP = endereco_;
    conf.Databasename = Banco;
    conf.Usuario = "root";
    conf.Senha = TestServer::RootPassword;
    WriteConfBesideProgram(conf);

    ScriptedDialogs& dialogos = ScriptedDialogs::Install();
    TIdentificacaoServidor::Liberar();
    TConnectionInfo::Liberar();
    TDM dm;
    {
        TFImportarCadOfertas janela(dm.ParaJanela());
        janela.show();
        if (!QTest::qWaitForWindowExposed(&janela))
            throw std::runtime_error("the window was not shown");
        if (!dialogos.Shown.empty())
            throw std::runtime_error("start-up failed: " + dialogos.Shown[0].Text.toStdString());
        dialogos.FileChoices.push_back(QString::fromStdString(arquivo));
        janela.sbArquivo->click();
        if (janela.Linhas.size() != static_cast<size_t>(linhas) + 1)
            throw std::runtime_error("the offer file did not load");
        janela.txtCadOferta->setText(QString::fromUtf8(NomeCaderno));

        // Untimed: how soon the window answers during a run; it also warms the server up and
        // gives the first statement stream.
        std::cout << "   responsiveness run" << std::flush;
        {
            TSonda sonda(janela, dialogos);
            const int pinturasAntes = janela.Gauge1->Pinturas();
            double t = ImportaECaptura(janela, dialogos, &sonda, r).Parede;
            r.Atrasos = sonda.Atrasos();
            r.Cancelar = sonda.Cancelar();
            r.Cliques = sonda.Cliques();
            r.Longas = sonda.Longas();
            r.Pinturas = janela.Gauge1->Pinturas() - pinturasAntes;
            r.Processamentos = static_cast<int>(r.Atrasos.size() + r.Cliques.size());
            dialogos.OnShow = nullptr;
            std::cout << ": " << Fixo(t, 2) << " s, longest wait for the window "
                      << Fixo(Percentil(r.Atrasos, 1.0), 2) << " ms (wait "
                      << std::max_element(r.Atrasos.begin(), r.Atrasos.end()) - r.Atrasos.begin() +
                             1
                      << " of " << r.Atrasos.size() << "), " << r.Cancelar.size()
                      << " Cancel clicks answered (longest handled in "
                      << Fixo(Percentil(r.Cliques, 1.0), 2)
                      << " ms), waits over 50 ms (the host's steal meanwhile):";
            for (auto& e : sonda.Longas())
                std::cout << " " << Fixo(e.Ms, 1) << " (" << Fixo(e.RoubadoMs, 0) << ")";
            std::cout << ", " << r.Lentas.size() << " statements took the server over "
                      << Fixo(LimiteLenta * 1000, 0) << " ms (longest "
                      << Fixo(Percentil(r.Lentas, 1.0), 2) << " ms)" << std::endl;
        }

        // The sides take turns: the client (replaying the stream of the window's import
        // before), our window and the command, the first of them moving on by one each
        // round, so that none always runs first.
        for (int rodada = 1; rodada <= rodadas; ++rodada) {
            TTempo nosso, cliente, comando;
            for (int vez = 0; vez < 3; ++vez) {
                switch ((rodada + vez) % 3) {
                case 1:
                    cliente = ReproduzECompara();
                    break;
                case 2:
                    nosso = ImportaECaptura(janela, dialogos, nullptr, r);
                    break;
                default:
                    comando = ComandoECompara();
                }
            }
            r.Comando.push_back(comando.Parede);
            r.CpuComando.push_back(comando.Cpu);
            r.RazoesComando.push_back(comando.Parede / cliente.Parede);
            r.RodadasComando.push_back(comando);
            r.Nosso.push_back(nosso.Parede);
            r.Cliente.push_back(cliente.Parede);
            r.Razoes.push_back(nosso.Parede / cliente.Parede);
            r.CpuNosso.push_back(nosso.Cpu);
            r.CpuCliente.push_back(cliente.Cpu);
            r.Rodadas.emplace_back(nosso, cliente);
            std::cout << "   round " << rodada << "/" << rodadas << ": ours " << Rodada(nosso)
                      << ", client " << Rodada(cliente) << ", ratio "
                      << Fixo(nosso.Parede / cliente.Parede, 3) << "; command " << Rodada(comando)
                      << ", ratio to the client " << Fixo(comando.Parede / cliente.Parede, 3)
                      << std::endl;
        }
    }
    ScriptedDialogs::Uninstall();
    TIdentificacaoServidor::Liberar();
    TConnectionInfo::Liberar();
    RemoveConfBesideProgram();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    try {
        const TOpcoes opcoes = LeOpcoes(argc, argv);
        std::unique_ptr<XvfbDisplay> x;
        if (opcoes.Xvfb) {
            x = XvfbDisplay::Start();
            std::cout << "Xvfb on " << x->Display() << std::endl;
        } else {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        int argcQt = 1;
        TAplicacao app(argcQt, argv);
        // The report of products not found is written in the current folder: a folder of its
        // own, removed at the end.
        TempDir trabalho;
        fs::current_path(trabalho.Path());
        std::cout << "Starting a MariaDB server on " << opcoes.Endereco << ":3306" << std::endl;
        TestServer servidor(opcoes.Endereco, OpcoesDoServidor(opcoes));
        std::optional<TRelay> relay;
        if (!opcoes.Relay.empty()) {
            relay.emplace(opcoes.Relay, opcoes.Endereco, std::chrono::microseconds(250));
            std::cout << "Relay on " << opcoes.Relay << ":3306, 0.25 ms each way" << std::endl;
        }
        TBancada bancada(servidor, opcoes, x ? x->Pid() : 0,
                         relay ? relay->Endereco() : servidor.Address());
        std::vector<TResultado> resultados;
        for (int linhas : opcoes.Linhas)
            resultados.push_back(bancada.Mede(linhas));
        fs::current_path(fs::temp_directory_path());

        std::time_t agora = std::time(nullptr);
        char data[64];
        std::strftime(data, sizeof data, "%Y-%m-%d %H:%M", std::localtime(&agora));
        std::string servidorTexto;
        for (auto& opcao : OpcoesDoServidor(opcoes))
            servidorTexto += " " + opcao;
        std::string texto =
            "Import end to end against the mariadb client, " + std::string(data) + ", " +
            std::to_string(std::thread::hardware_concurrency()) + " CPUs, " +
            (x ? "Xvfb" : "offscreen") + " platform" +
            (opcoes.Relay.empty() ? "" : ", through a relay holding each chunk 0.25 ms each way") +
            "; server options beyond the tests' own:" + servidorTexto + "\n\n" +
            Relatorio(resultados);
        std::cout << "\n" << texto;
        if (!opcoes.Markdown.empty()) {
            std::ofstream saida(opcoes.Markdown, std::ios::binary | std::ios::trunc);
            saida << texto;
            if (!saida.flush())
                throw std::runtime_error("cannot write " + opcoes.Markdown);
            std::cout << "\nWritten to " << opcoes.Markdown << std::endl;
        }
    } catch (const std::exception& e) {
        std::cerr << "import_bench: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
