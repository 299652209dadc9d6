// The import end to end, against the command-line client.
//
// A throwaway MariaDB server on its own loopback address holds a store database filled so
// that an offer file of N data lines has about 70% of its barcodes in `produto`, 10% only in
// `barras` and 20% nowhere. The real window, on the offscreen platform, imports the file
// through the real run and the real data module; the time from the click on "&Importar" to
// the handler's return is our time. The statements that import sent, exactly as the server's
// general log holds them, are then replayed through the `mariadb` command-line client on the
// same server and the same database state (the tables are restored before each side); the
// time from starting the client to its exit is the client's time. The two sides alternate over
// several rounds, each side first in every other round, and the medians are compared.
//
// Before the timed rounds, one untimed import (which also warms the server) measures how soon
// the window answers during a run: an event posted to it is delivered at the run's next
// processing of pending messages, and a click on "&Cancelar" posted as mouse events must
// bring up its question, answered No so that the run goes on.
//
// Usage: import_bench [--lines 10000,50000] [--rounds N] [--markdown FILE]
//                     [--address 127.0.0.40] [--durable]
#include "Conf.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"
#include "TestServer.h"
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
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Relogio = std::chrono::steady_clock;

namespace {

constexpr const char* Banco = "loja_bench";
constexpr const char* BancoBase = "loja_bench_base"; // the untouched copy of `produto`
constexpr const char* NomeCaderno = "Ofertas da Semana";

double Segundos(Relogio::duration d) {
    return std::chrono::duration<double>(d).count();
}

double Mediana(std::vector<double> v) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

double Percentil(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

std::string Fixo(double valor, int casas) {
    char texto[64];
    std::snprintf(texto, sizeof texto, "%.*f", casas, valor);
    return texto;
}

std::string Milhares(long long valor) {
    std::string digitos = std::to_string(valor);
    std::string saida;
    for (size_t i = 0; i < digitos.size(); ++i) {
        if (i > 0 && (digitos.size() - i) % 3 == 0)
            saida += ',';
        saida += digitos[i];
    }
    return saida;
}

// ---------------------------------------------------------------------------------------------
// The store's data and the offer file.

enum class Caso { Produto, Barras, Ausente };

// Seven lines in ten are found in `produto`, one only in `barras`, two nowhere, mixed
// through the file.
Caso CasoDaLinha(int i) {
    switch (i % 10) {
    case 2:
        return Caso::Barras;
    case 5:
    case 9:
        return Caso::Ausente;
    default:
        return Caso::Produto;
    }
}

// The barcode of data line i as the file holds it: mostly 13 digits, every 16th an 8-digit
// one that the lookup pads with zeros.
std::string BarrasDaLinha(int i) {
    char texto[32];
    if (i % 16 == 0)
        std::snprintf(texto, sizeof texto, "2%07d", i);
    else
        std::snprintf(texto, sizeof texto, "789%010d", i);
    return texto;
}

std::string Padded(const std::string& barras) {
    return barras.size() >= 13 ? barras : std::string(13 - barras.size(), '0') + barras;
}

std::string ArquivoOferta(int linhas) {
    static const char* const sufixos[] = {"", " UN", " 5 KG", " CAIXA C/12", " 1 L", " PCT 500 G"};
    std::string texto = "BARRAS;DESCRICAO;PRECO;\r\n";
    texto.reserve(static_cast<size_t>(linhas) * 48);
    char linha[160];
    for (int i = 1; i <= linhas; ++i) {
        int n = std::snprintf(linha, sizeof linha, "%s;PRODUTO EM OFERTA %06d%s;%d,%02d;\r\n",
                              BarrasDaLinha(i).c_str(), i, sufixos[i % 6], 1 + i % 300, i % 100);
        texto.append(linha, static_cast<size_t>(n));
    }
    return texto;
}

// Sends rows in batches of a thousand.
class TInsercaoEmLote {
public:
    TInsercaoEmLote(TestServer& servidor, std::string cabeca)
        : servidor_(servidor), cabeca_(std::move(cabeca)) {}
    ~TInsercaoEmLote() noexcept(false) { Envia(); }
    void Linha(const std::string& valores) {
        sql_ += (linhas_++ == 0 ? cabeca_ + " VALUES " : std::string(",")) + valores;
        if (linhas_ == 1000)
            Envia();
    }

private:
    void Envia() {
        if (linhas_ > 0)
            servidor_.Exec(sql_, Banco);
        sql_.clear();
        linhas_ = 0;
    }
    TestServer& servidor_;
    std::string cabeca_;
    std::string sql_;
    int linhas_ = 0;
};

// The store database for a file of n data lines; returns how many statements the import of
// that file sends.
size_t PreparaLoja(TestServer& s, int linhas) {
    s.CreateStoreDatabase(Banco);
    s.Exec("INSERT INTO identificacao_servidor VALUES (10, '00000000000191', 'LOJA', NULL, 'h')",
           Banco);
    size_t comandos = 2; // the booklet and its key
    int id = 0;
    {
        TInsercaoEmLote produtos(
            s, "INSERT INTO produto (produto_id, barras, descricao, apagado, tipo, preco)");
        TInsercaoEmLote alternativos(s, "INSERT INTO barras (produto_id, barras, apagado)");
        for (int i = 1; i <= linhas; ++i) {
            const std::string barras = Padded(BarrasDaLinha(i));
            const std::string resto = ", 'PRODUTO " + std::to_string(i) + "', ";
            switch (CasoDaLinha(i)) {
            case Caso::Produto:
                produtos.Linha("(" + std::to_string(++id) + ", '" + barras + "'" + resto +
                               "'N', 'P', 9.99)");
                comandos += 4; // lookup, link check, link, product update
                break;
            case Caso::Barras:
                // A product under another main barcode; the file's barcode is an alternative.
                produtos.Linha("(" + std::to_string(++id) + ", '780" + barras.substr(3) + "'" +
                               resto + "'N', 'P', 9.99)");
                alternativos.Linha("(" + std::to_string(id) + ", '" + barras + "', 'N')");
                comandos += 5; // both lookups, link check, link, product update
                break;
            case Caso::Ausente:
                // Every other missing barcode belongs to a deleted product, which the lookup
                // passes over.
                if (i % 20 == 9)
                    produtos.Linha("(" + std::to_string(++id) + ", '" + barras + "'" + resto +
                                   "'S', 'P', 9.99)");
                comandos += 2; // both lookups
                break;
            }
        }
        // The rest of the store's range, which the booklet does not touch.
        for (int i = 1; i <= linhas / 2; ++i)
            produtos.Linha("(" + std::to_string(++id) + ", '" + Padded("560" + std::to_string(i)) +
                           "', 'OUTRO PRODUTO', 'N', 'P', 5.00)");
    }
    s.Exec(std::string("DROP DATABASE IF EXISTS ") + BancoBase);
    s.Exec(std::string("CREATE DATABASE ") + BancoBase + " DEFAULT CHARACTER SET latin1");
    s.Exec(std::string("CREATE TABLE ") + BancoBase + ".produto LIKE " + Banco + ".produto");
    s.Exec(std::string("INSERT INTO ") + BancoBase + ".produto SELECT * FROM " + Banco +
           ".produto");
    return comandos;
}

// The tables as they were before any import: no booklet, no link, products untouched.
void RestauraLoja(TestServer& s) {
    s.Exec("TRUNCATE TABLE cadofertas", Banco);
    s.Exec("TRUNCATE TABLE prodcadofertas", Banco);
    s.Exec("TRUNCATE TABLE produto", Banco);
    s.Exec(std::string("INSERT INTO produto SELECT * FROM ") + BancoBase + ".produto", Banco);
    // Let the server's background work on the reload settle before the next side starts.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

// What an import leaves in the tables it writes, to see that the replay did the same work.
std::string EstadoDaLoja(TestServer& s) {
    std::string estado;
    for (auto& linha : s.Query("CHECKSUM TABLE cadofertas, prodcadofertas, produto", Banco))
        estado += (linha.size() > 1 && linha[1] ? *linha[1] : "NULL") + " ";
    estado += s.Scalar("SELECT COUNT(*) FROM prodcadofertas", Banco);
    return estado;
}

// ---------------------------------------------------------------------------------------------
// The general log, read from a position on, without reading what came before.

class TLogGeral {
public:
    explicit TLogGeral(fs::path arquivo) : arquivo_(std::move(arquivo)) {}

    std::uintmax_t Fim() const { return fs::file_size(arquivo_); }

    std::vector<LogEntry> Desde(std::uintmax_t posicao) const {
        std::ifstream in(arquivo_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(posicao));
        std::vector<LogEntry> entradas;
        std::string linha;
        while (std::getline(in, linha)) {
            LogEntry e;
            if (Cabeca(linha, e))
                entradas.push_back(std::move(e));
            else if (!entradas.empty())
                entradas.back().Argument += "\n" + linha; // a statement of several lines
        }
        return entradas;
    }

private:
    // "241209  5:50:01\t    3 Query\tselect 1", or "\t\t    3 Query\t..." within a second.
    static bool Cabeca(const std::string& linha, LogEntry& e) {
        size_t tab = linha.find('\t');
        if (tab == std::string::npos)
            return false;
        for (size_t i = 0; i < tab; ++i)
            if (!std::isdigit(static_cast<unsigned char>(linha[i])) && linha[i] != ' ' &&
                linha[i] != ':')
                return false;
        size_t p = tab + 1;
        if (tab == 0 && p < linha.size() && linha[p] == '\t')
            ++p;
        while (p < linha.size() && linha[p] == ' ')
            ++p;
        size_t inicioId = p;
        while (p < linha.size() && std::isdigit(static_cast<unsigned char>(linha[p])))
            ++p;
        if (p == inicioId || p >= linha.size() || linha[p] != ' ')
            return false;
        e.Thread = std::stol(linha.substr(inicioId, p - inicioId));
        size_t tabComando = linha.find('\t', p + 1);
        if (tabComando == std::string::npos)
            return false;
        e.Command = linha.substr(p + 1, tabComando - p - 1);
        e.Argument = linha.substr(tabComando + 1);
        return true;
    }

    fs::path arquivo_;
};

// The statements of the import that began at a position of the log: those of the connection
// that sent the booklet's insert, from that insert on. Waits for the log to hold all of them.
std::vector<std::string> ComandosDaImportacao(const TLogGeral& log, std::uintmax_t posicao,
                                              size_t esperados) {
    std::vector<std::string> comandos;
    auto limite = Relogio::now() + std::chrono::seconds(10);
    do {
        comandos.clear();
        long conexao = -1;
        for (auto& e : log.Desde(posicao)) {
            if (e.Command != "Query")
                continue;
            if (conexao < 0 && e.Argument.rfind("insert into cadofertas ", 0) == 0)
                conexao = e.Thread;
            if (e.Thread == conexao)
                comandos.push_back(std::move(e.Argument));
        }
        if (comandos.size() >= esperados)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Relogio::now() < limite);
    return comandos;
}

// The server's slow query log (statements that took it over LimiteLenta) from a position on:
// how long each took, in ms. It tells a stall of the server's from one of ours.
constexpr double LimiteLenta = 0.05; // seconds

std::uintmax_t TamanhoDe(const fs::path& arquivo) {
    std::error_code erro;
    const std::uintmax_t n = fs::file_size(arquivo, erro);
    return erro ? 0 : n;
}

std::vector<double> LentasDesde(const fs::path& arquivo, std::uintmax_t posicao) {
    std::ifstream in(arquivo, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(posicao));
    std::vector<double> tempos;
    constexpr std::string_view marca = "# Query_time: ";
    for (std::string linha; std::getline(in, linha);)
        if (linha.rfind(marca, 0) == 0)
            tempos.push_back(std::stod(linha.substr(marca.size())) * 1000);
    return tempos;
}

// ---------------------------------------------------------------------------------------------
// The command-line client.

// Runs `mariadb` with the file as its input and its output thrown away; returns the time
// from its start to its exit.
struct TTempo {
    double Parede = 0;   // wall-clock seconds
    double Cpu = 0;      // the process's own CPU seconds, user and system
    double Servidor = 0; // the server's CPU seconds meanwhile
    double Roubado = 0;  // CPU seconds the virtual machine's host took from this machine meanwhile
};

// What the whole machine did: the server's CPU time and the time stolen by the host, both
// cumulative, in seconds. The steal shows when a round was slowed by the host, not by either
// side.
struct TMaquina {
    double Servidor = 0;
    double Roubado = 0;
};

double SegundosDeTiques(unsigned long long tiques) {
    return static_cast<double>(tiques) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The time the host has stolen from this machine since it started, in seconds.
double Roubado() {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    unsigned long long campos[8] = {};
    stat >> cpu;
    for (auto& c : campos)
        stat >> c;
    return SegundosDeTiques(campos[7]);
}

TMaquina AmostraMaquina(long pidServidor) {
    TMaquina m;
    m.Roubado = Roubado();
    // /proc/<pid>/stat: utime and stime are fields 14 and 15, after the name in parentheses.
    std::ifstream processo("/proc/" + std::to_string(pidServidor) + "/stat");
    std::string texto((std::istreambuf_iterator<char>(processo)), {});
    std::istringstream resto(texto.substr(texto.rfind(')') + 2));
    std::string campo;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && resto >> campo; ++i) {
        if (i == 14)
            utime = std::stoull(campo);
        if (i == 15)
            stime = std::stoull(campo);
    }
    m.Servidor = SegundosDeTiques(utime + stime);
    return m;
}

// One side's round: its time, its own CPU, the server's CPU and the steal meanwhile.
std::string Rodada(const TTempo& t) {
    return Fixo(t.Parede, 3) + " s (CPU " + Fixo(t.Cpu, 3) + " s, server " + Fixo(t.Servidor, 2) +
           " s, steal " + Fixo(t.Roubado, 2) + " s)";
}

void AnotaMaquina(TTempo& tempo, const TMaquina& antes, const TMaquina& depois) {
    tempo.Servidor = depois.Servidor - antes.Servidor;
    tempo.Roubado = depois.Roubado - antes.Roubado;
}

double CpuDe(const rusage& uso) {
    return static_cast<double>(uso.ru_utime.tv_sec + uso.ru_stime.tv_sec) +
           static_cast<double>(uso.ru_utime.tv_usec + uso.ru_stime.tv_usec) / 1e6;
}

double CpuProprio() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return CpuDe(uso);
}

TTempo ReproduzNoCliente(const std::string& endereco, const std::string& arquivo,
                         const std::string& erros) {
    const std::string senha = std::string("-p") + TestServer::RootPassword;
    auto inicio = Relogio::now();
    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        int entrada = ::open(arquivo.c_str(), O_RDONLY);
        int saida = ::open("/dev/null", O_WRONLY);
        int erro = ::open(erros.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (entrada < 0 || saida < 0 || erro < 0)
            std::_Exit(126);
        ::dup2(entrada, 0);
        ::dup2(saida, 1);
        ::dup2(erro, 2);
        ::execlp("mariadb", "mariadb", "--no-defaults", "-h", endereco.c_str(), "-P", "3306", "-u",
                 "root", senha.c_str(), Banco, static_cast<char*>(nullptr));
        std::_Exit(127);
    }
    int status = 0;
    rusage uso{};
    ::wait4(pid, &status, 0, &uso);
    TTempo tempo{Segundos(Relogio::now() - inicio), CpuDe(uso)};
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("the mariadb client failed (status " + std::to_string(status) +
                                 "): " + ReadAll(erros));
    return tempo;
}

// ---------------------------------------------------------------------------------------------
// How soon the window answers during a run.

// An event posted to the window's thread is delivered at the next processing of pending
// messages; on delivery it posts the next one. Every second or so it also posts a click on
// "&Cancelar" (mouse press and release) and times it until the question box comes up.
class TSonda : public QObject {
public:
    TSonda(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos)
        : janela_(janela), tipo_(static_cast<QEvent::Type>(QEvent::registerEventType())) {
        dialogos.OnShow = [this](const ShownMessage& m) {
            if (m.Text == QStringLiteral("Deseja cancelar?") && cliquePendente_) {
                cliquePendente_ = false;
                cancelar_.push_back(Segundos(Relogio::now() - cliquePostado_) * 1000);
            }
        };
    }

    void Inicia() {
        ativa_ = true;
        roubadoAntes_ = Roubado();
        lidoEm_ = Relogio::now();
        proximoClique_ = Relogio::now() + std::chrono::milliseconds(500);
        Posta();
    }
    void Para() { ativa_ = false; }

    const std::vector<double>& Atrasos() const { return atrasos_; }   // ms, one per delivery
    const std::vector<double>& Cancelar() const { return cancelar_; } // ms, one per click
    const std::vector<double>& Cliques() const { return cliques_; } // ms, click handled, per click
    // The waits over 50 ms, each with the time the host stole from this machine meanwhile.
    struct TEspera {
        double Ms = 0, RoubadoMs = 0;
    };
    const std::vector<TEspera>& Longas() const { return longas_; }

protected:
    bool event(QEvent* evento) override {
        if (evento->type() != tipo_)
            return QObject::event(evento);
        if (!ativa_)
            return true;
        auto agora = Relogio::now();
        // A wait that holds the handling of a Cancel click is the click's, not the run's.
        const double atraso = Segundos(agora - postado_) * 1000;
        (cliqueNaEspera_ ? cliques_ : atrasos_).push_back(atraso);
        cliqueNaEspera_ = false;
        // The steal counts in ticks of 10 ms, so it is read no oftener than that (reading it
        // costs more than a line's own work): a long wait is set against the last reading
        // before it began.
        if (atraso > 50)
            longas_.push_back({atraso, (Roubado() - roubadoAntes_) * 1000});
        if (agora - lidoEm_ >= std::chrono::milliseconds(10)) {
            roubadoAntes_ = Roubado();
            lidoEm_ = agora;
        }
        if (agora >= proximoClique_ && !cliquePendente_) {
            proximoClique_ = agora + std::chrono::seconds(1);
            PostaClique();
            cliqueNaEspera_ = true;
        }
        Posta();
        return true;
    }

private:
    struct TEvento : QEvent {
        using QEvent::QEvent;
    };

    void Posta() {
        postado_ = Relogio::now();
        QCoreApplication::postEvent(this, new TEvento(tipo_));
    }

    void PostaClique() {
        QPushButton* botao = janela_.cmdCancelar;
        const QPointF local(botao->width() / 2.0, botao->height() / 2.0);
        const QPointF global = botao->mapToGlobal(local);
        cliquePendente_ = true;
        cliquePostado_ = Relogio::now();
        QCoreApplication::postEvent(botao, new QMouseEvent(QEvent::MouseButtonPress, local, global,
                                                           Qt::LeftButton, Qt::LeftButton,
                                                           Qt::NoModifier));
        QCoreApplication::postEvent(botao,
                                    new QMouseEvent(QEvent::MouseButtonRelease, local, global,
                                                    Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
    }

    TFImportarCadOfertas& janela_;
    QEvent::Type tipo_;
    bool ativa_ = false;
    Relogio::time_point postado_;
    std::vector<double> atrasos_;
    bool cliquePendente_ = false;
    Relogio::time_point cliquePostado_;
    Relogio::time_point proximoClique_;
    std::vector<double> cancelar_;
    bool cliqueNaEspera_ = false; // the next delivery comes after a Cancel click's handling
    double roubadoAntes_ = 0;     // the steal at the last reading, at lidoEm_
    Relogio::time_point lidoEm_;
    std::vector<TEspera> longas_;
    std::vector<double> cliques_;
};

// ---------------------------------------------------------------------------------------------

struct TOpcoes {
    std::vector<int> Linhas{10000, 50000};
    int Rodadas = 0; // 0: 7 for up to 10,000 lines, 5 above
    std::string Markdown;
    std::string Endereco = "127.0.0.40";
    // By default the server writes its redo log at every commit but syncs it to the disk about
    // once a second, so that the round trips, not this machine's disk, set the floor; with
    // --durable every commit waits for the disk, as the server's default has it.
    bool Duravel = false;
};

std::vector<std::string> OpcoesDoServidor(const TOpcoes& o) {
    std::vector<std::string> opcoes = {"--innodb-buffer-pool-size=256M", "--slow-query-log=1",
                                       "--long-query-time=" + Fixo(LimiteLenta, 3),
                                       "--slow-query-log-file=slow.log"}; // in the data folder
    if (!o.Duravel)
        opcoes.push_back("--innodb-flush-log-at-trx-commit=2");
    return opcoes;
}

struct TResultado {
    int Linhas = 0;
    size_t Comandos = 0;
    std::vector<double> Nosso, Cliente, Razoes;
    std::vector<double> CpuNosso, CpuCliente;       // CPU seconds of each side's own process
    std::vector<std::pair<TTempo, TTempo>> Rodadas; // ours and the client's, round by round
    std::vector<double> Atrasos, Cancelar;
    std::vector<double> Cliques; // ms from each Cancel click posted to the window free again
    std::vector<TSonda::TEspera> Longas;
    std::vector<double> Lentas; // ms of each statement the server took over LimiteLenta on
    int Pinturas = 0;
    int Processamentos = 0;
};

class TBancada {
public:
    TBancada(TestServer& servidor, const TOpcoes& opcoes)
        : s_(servidor), opcoes_(opcoes), log_(servidor.Folder() / "general.log"),
          lento_(servidor.Folder() / "data" / "slow.log"),
          pidServidor_(std::stol(ReadAll(servidor.Scalar("select @@pid_file")))) {}

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

    std::vector<std::string> fluxo_; // the statements of the latest import
    std::string estadoFluxo_;        // the tables as that import left them
    std::string replay_;             // the file the client reads
    std::string errosCliente_;

    TestServer& s_;
    const TOpcoes& opcoes_;
    TLogGeral log_;
    fs::path lento_; // the slow query log
    long pidServidor_ = 0;
    TempDir pasta_;
};

TTempo TBancada::Importa(TFImportarCadOfertas& janela, ScriptedDialogs& dialogos, TSonda* sonda,
                         std::vector<double>* lentas) {
    dialogos.Shown.clear();
    QCoreApplication::processEvents(); // nothing left over from before
    const std::uintmax_t inicioLento = TamanhoDe(lento_);
    if (sonda)
        sonda->Inicia();
    const TMaquina maquina = AmostraMaquina(pidServidor_);
    const double cpu = CpuProprio();
    auto inicio = Relogio::now();
    janela.cmdImportar->click();
    TTempo tempo{Segundos(Relogio::now() - inicio), CpuProprio() - cpu};
    AnotaMaquina(tempo, maquina, AmostraMaquina(pidServidor_));
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
    const auto posicao = log_.Fim();
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
    const TMaquina maquina = AmostraMaquina(pidServidor_);
    TTempo tempo = ReproduzNoCliente(s_.Address(), replay_, errosCliente_);
    AnotaMaquina(tempo, maquina, AmostraMaquina(pidServidor_));
    const std::string estado = EstadoDaLoja(s_);
    if (estado != estadoFluxo_)
        throw std::runtime_error("the replay left other tables than the import: " + estadoFluxo_ +
                                 " / " + estado);
    return tempo;
}

TResultado TBancada::Mede(int linhas) {
    TResultado r;
    r.Linhas = linhas;
    const int rodadas = opcoes_.Rodadas > 0 ? opcoes_.Rodadas : (linhas <= 10000 ? 7 : 5);
    std::cout << "== " << Milhares(linhas) << " lines: preparing the store database" << std::endl;
    r.Comandos = PreparaLoja(s_, linhas);
    const std::string arquivo = pasta_.Write("oferta.csv", ArquivoOferta(linhas));
    replay_ = (pasta_.Path() / "replay.sql").string();
    errosCliente_ = (pasta_.Path() / "client.err").string();
    fluxo_.clear();

    ConfValues conf;
    conf.DatabaseIP = s_.Address();
    conf.Databasename = Banco;
    conf.Usuario = "root";
    conf.Senha = TestServer::RootPassword;
    WriteConfBesideProgram(conf);

    ScriptedDialogs& dialogos = ScriptedDialogs::Install();
    TIdentificacaoServidor::Liberar();
    TConnectionInfo::Liberar();
    TDM dm;
    DM = &dm;
    {
        TFImportarCadOfertas janela;
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

        // The sides alternate: the client first in odd rounds (replaying the stream of the
        // import before), our import first in even ones, so that neither always runs first.
        for (int rodada = 1; rodada <= rodadas; ++rodada) {
            TTempo nosso, cliente;
            if (rodada % 2 == 1) {
                cliente = ReproduzECompara();
                nosso = ImportaECaptura(janela, dialogos, nullptr, r);
            } else {
                nosso = ImportaECaptura(janela, dialogos, nullptr, r);
                cliente = ReproduzECompara();
            }
            r.Nosso.push_back(nosso.Parede);
            r.Cliente.push_back(cliente.Parede);
            r.Razoes.push_back(nosso.Parede / cliente.Parede);
            r.CpuNosso.push_back(nosso.Cpu);
            r.CpuCliente.push_back(cliente.Cpu);
            r.Rodadas.emplace_back(nosso, cliente);
            std::cout << "   round " << rodada << "/" << rodadas << ": ours " << Rodada(nosso)
                      << ", client " << Rodada(cliente) << ", ratio "
                      << Fixo(nosso.Parede / cliente.Parede, 3) << std::endl;
        }
    }
    DM = nullptr;
    ScriptedDialogs::Uninstall();
    TIdentificacaoServidor::Liberar();
    TConnectionInfo::Liberar();
    RemoveConfBesideProgram();
    return r;
}

std::string Relatorio(const std::vector<TResultado>& resultados) {
    std::ostringstream o;
    o << "| data lines | statements | rounds | ours, median | client, median | ratio ours/client "
         "(of medians) | ratio, per round (median; min-max) | ours, lines/s | ours, ms/line | "
         "client, ms/line | client, ms/statement |\n";
    o << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        const double nosso = Mediana(r.Nosso), cliente = Mediana(r.Cliente);
        const auto [menor, maior] = std::minmax_element(r.Razoes.begin(), r.Razoes.end());
        o << "| " << Milhares(r.Linhas) << " | " << Milhares(static_cast<long long>(r.Comandos))
          << " | " << r.Nosso.size() << " | " << Fixo(nosso, 2) << " s | " << Fixo(cliente, 2)
          << " s | **" << Fixo(nosso / cliente, 3) << "** | " << Fixo(Mediana(r.Razoes), 3) << "; "
          << Fixo(*menor, 3) << "-" << Fixo(*maior, 3) << " | "
          << Milhares(static_cast<long long>(r.Linhas / nosso)) << " | "
          << Fixo(nosso * 1000 / r.Linhas, 3) << " | " << Fixo(cliente * 1000 / r.Linhas, 3)
          << " | " << Fixo(cliente * 1000 / static_cast<double>(r.Comandos), 3) << " |\n";
    }
    o << "\nCPU time of each side's own process (user + system; the server's work is in "
         "neither), median:\n\n";
    o << "| data lines | ours | client | ours, us/line | client, us/line |\n";
    o << "|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        const double nosso = Mediana(r.CpuNosso), cliente = Mediana(r.CpuCliente);
        o << "| " << Milhares(r.Linhas) << " | " << Fixo(nosso, 3) << " s | " << Fixo(cliente, 3)
          << " s | " << Fixo(nosso * 1e6 / r.Linhas, 1) << " | "
          << Fixo(cliente * 1e6 / r.Linhas, 1) << " |\n";
    }
    o << "\nEvery round: each side's time, its own CPU, the server's CPU and the time the host "
         "stole from this virtual machine meanwhile (a round the host slowed shows in the last "
         "two):\n\n";
    for (auto& r : resultados) {
        o << "- " << Milhares(r.Linhas) << " lines:\n";
        for (size_t i = 0; i < r.Rodadas.size(); ++i)
            o << "  - round " << i + 1 << ": ours " << Rodada(r.Rodadas[i].first) << "; client "
              << Rodada(r.Rodadas[i].second) << "\n";
    }
    o << "\nThe window during a run (one untimed import per size):\n\n";
    o << "| data lines | message processings | wait for a posted event: median / 99th pct / "
         "longest | waits over 50 ms (the host's steal meanwhile) | Cancel clicks | Cancel "
         "question shown after: median / longest | click handled in: median / longest | gauge "
         "paints | statements the server took over "
      << Fixo(LimiteLenta * 1000, 0) << " ms on: count / longest |\n";
    o << "|---:|---:|---:|---|---:|---:|---:|---:|---:|\n";
    for (auto& r : resultados) {
        o << "| " << Milhares(r.Linhas) << " | " << Milhares(r.Processamentos) << " | "
          << Fixo(Mediana(r.Atrasos), 3) << " / " << Fixo(Percentil(r.Atrasos, 0.99), 3) << " / "
          << Fixo(Percentil(r.Atrasos, 1.0), 2) << " ms | ";
        if (r.Longas.empty())
            o << "none";
        for (size_t i = 0; i < r.Longas.size(); ++i)
            o << (i ? ", " : "") << Fixo(r.Longas[i].Ms, 1) << " ms ("
              << Fixo(r.Longas[i].RoubadoMs, 0) << " ms)";
        o << " | " << r.Cancelar.size() << " | " << Fixo(Mediana(r.Cancelar), 2) << " / "
          << Fixo(Percentil(r.Cancelar, 1.0), 2) << " ms | " << Fixo(Mediana(r.Cliques), 2) << " / "
          << Fixo(Percentil(r.Cliques, 1.0), 2) << " ms | " << r.Pinturas << " | "
          << r.Lentas.size() << " / " << Fixo(Percentil(r.Lentas, 1.0), 2) << " ms |\n";
    }
    return o.str();
}

std::vector<int> ListaDeNumeros(const std::string& texto) {
    std::vector<int> numeros;
    std::stringstream in(texto);
    std::string parte;
    while (std::getline(in, parte, ','))
        numeros.push_back(std::stoi(parte));
    return numeros;
}

TOpcoes LeOpcoes(int argc, char** argv) {
    TOpcoes o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto valor = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--lines")
            o.Linhas = ListaDeNumeros(valor());
        else if (a == "--rounds")
            o.Rodadas = std::stoi(valor());
        else if (a == "--markdown")
            o.Markdown = fs::absolute(valor()).string(); // the run changes its folder
        else if (a == "--address")
            o.Endereco = valor();
        else if (a == "--durable")
            o.Duravel = true;
        else
            throw std::runtime_error("unknown option " + a);
    }
    if (o.Endereco.rfind("127.", 0) != 0)
        throw std::runtime_error("the benchmark server runs on a loopback address only");
    return o;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        const TOpcoes opcoes = LeOpcoes(argc, argv);
        int argcQt = 1;
        TAplicacao app(argcQt, argv);
        // The report of products not found is written in the current folder: a folder of its
        // own, removed at the end.
        TempDir trabalho;
        fs::current_path(trabalho.Path());
        std::cout << "Starting a MariaDB server on " << opcoes.Endereco << ":3306" << std::endl;
        TestServer servidor(opcoes.Endereco, OpcoesDoServidor(opcoes));
        TBancada bancada(servidor, opcoes);
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
        std::string texto = "Import end to end against the mariadb client, " + std::string(data) +
                            ", " + std::to_string(std::thread::hardware_concurrency()) +
                            " CPUs; server options beyond the tests' own:" + servidorTexto +
                            "\n\n" + Relatorio(resultados);
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
