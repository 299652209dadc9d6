// importa-caderno --lojas at scale: one booklet into many stores, each store's network a relay
// of its own that holds every chunk a few milliseconds each way.
//
// One throwaway MariaDB server holds one database per store, each filled as the import
// benchmark's store (70% of the file's barcodes in `produto`, 10% only in `barras`, 20%
// nowhere); each store is reached through a TRelay on a loopback address of its own, so that
// every statement pays the store's round trip as over the chain's network. First every store
// is imported alone by the one-store command, one after the other (the sum of single imports,
// and the slowest one); then the whole rollout runs with each number of stores at once. The
// tables are restored before each run, and every store must end with as many links as its
// single import left. The rollout's own CPU (the head office's, without the stores' commands)
// and each store's command's CPU and largest resident set come from the rollout's JSON and the
// wait status.
//
// Usage: rollout_bench [--lojas 20] [--linhas 1000] [--simultaneas 1,4,8,16] [--atraso-ms 5]
//                      [--endereco 127.0.4.1] [--markdown FILE]
// The server listens on --endereco; the stores' relays on the next addresses.
#include "Conf.h"
#include "Process.h"
#include "TempDir.h"
#include "TestServer.h"
#include "connection/FormatoConf.h"
#include "tools/importa/LeituraJson.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>

#include "support/Cliente.h"
#include "support/Estatistica.h"
#include "support/Loja.h"
#include "support/Relay.h"

namespace fs = std::filesystem;

namespace {

struct TOpcoesLojas {
    int Lojas = 20;
    int Linhas = 1000;
    std::vector<int> Simultaneas = {1, 4, 8, 16};
    int AtrasoMs = 5;
    std::string Endereco = "127.0.4.1";
    std::string Markdown;
};

TOpcoesLojas LeOpcoes(int argc, char** argv) {
    TOpcoesLojas o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            throw std::runtime_error("missing the value of " + a);
        const std::string v = argv[++i];
        if (a == "--lojas")
            o.Lojas = std::stoi(v);
        else if (a == "--linhas")
            o.Linhas = std::stoi(v);
        else if (a == "--atraso-ms")
            o.AtrasoMs = std::stoi(v);
        else if (a == "--endereco")
            o.Endereco = v;
        else if (a == "--markdown")
            o.Markdown = v;
        else if (a == "--simultaneas") {
            o.Simultaneas.clear();
            std::stringstream lista(v);
            for (std::string n; std::getline(lista, n, ',');)
                o.Simultaneas.push_back(std::stoi(n));
        } else
            throw std::runtime_error("unknown option " + a);
    }
    return o;
}

// The address n places after the server's.
std::string Endereco(const std::string& base, int n) {
    const size_t ponto = base.rfind('.');
    return base.substr(0, ponto + 1) + std::to_string(std::stoi(base.substr(ponto + 1)) + n);
}

std::string NomeBanco(int i) {
    char nome[32];
    std::snprintf(nome, sizeof nome, "loja_%02d", i);
    return nome;
}

const char* const Tabelas[] = {"identificacao_servidor", "produto", "barras", "cadofertas",
                               "prodcadofertas"};

// Every store a copy of the benchmark's store, with a branch of its own.
void CriaLojas(TestServer& s, int lojas) {
    s.Exec(std::string("CREATE USER IF NOT EXISTS leitor@'%' IDENTIFIED BY '") +
           TestServer::RootPassword + "'");
    for (int i = 1; i <= lojas; ++i) {
        const std::string b = NomeBanco(i);
        s.Exec("DROP DATABASE IF EXISTS " + b);
        s.Exec("CREATE DATABASE " + b + " DEFAULT CHARACTER SET latin1");
        for (const char* t : Tabelas) {
            s.Exec("CREATE TABLE " + b + "." + t + " LIKE " + Banco + "." + t);
            s.Exec("INSERT INTO " + b + "." + t + " SELECT * FROM " + Banco + "." + t);
        }
        s.Exec("UPDATE " + b + ".identificacao_servidor SET filial_id = " + std::to_string(i));
        s.Exec("GRANT SELECT ON " + b + ".* TO leitor@'%'");
    }
}

void RestauraLojas(TestServer& s, int lojas) {
    for (int i = 1; i <= lojas; ++i) {
        const std::string b = NomeBanco(i);
        s.Exec("TRUNCATE TABLE " + b + ".cadofertas");
        s.Exec("TRUNCATE TABLE " + b + ".prodcadofertas");
        s.Exec("TRUNCATE TABLE " + b + ".produto");
        s.Exec("INSERT INTO " + b + ".produto SELECT * FROM " + BancoBase + ".produto");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

std::vector<std::string> Ligacoes(TestServer& s, int lojas) {
    std::vector<std::string> n;
    for (int i = 1; i <= lojas; ++i)
        n.push_back(s.Scalar("SELECT COUNT(*) FROM " + NomeBanco(i) + ".prodcadofertas"));
    return n;
}

struct TRodada {
    int Simultaneas = 0;
    double Parede = 0;
    double CpuTotal = 0;   // the rollout and its stores' commands
    double CpuLojas = 0;   // the stores' commands alone
    double MaiorLoja = 0;  // the slowest store's seconds
    long MemoriaMaxKb = 0; // the largest store command's resident set
    double MemoriaMediaKb = 0;
    long MemoriaRolloutKb = 0; // the rollout's own (with its children's, the larger)
};

// Each store's entry in the rollout's JSON.
std::vector<std::map<std::string, TValorJson>> Entradas(const std::string& json) {
    auto entradas = LeListaJson(json, "lojas");
    if (!entradas)
        throw std::runtime_error("no stores in the rollout's summary: " + json);
    return *entradas;
}

} // namespace

int main(int argc, char** argv) try {
    const TOpcoesLojas o = LeOpcoes(argc, argv);
    std::cout << "# importa-caderno --lojas: " << o.Lojas << " stores of " << Milhares(o.Linhas)
              << " lines, each behind a relay holding every chunk " << o.AtrasoMs
              << " ms each way\n"
              << std::flush;

    TestServer s(o.Endereco, {"--innodb-buffer-pool-size=256M",
                              "--innodb-flush-log-at-trx-commit=2", "--max-connections=400"});
    const size_t comandos = PreparaLoja(s, o.Linhas);
    CriaLojas(s, o.Lojas);
    std::vector<std::unique_ptr<TRelay>> relays;
    TempDir pasta;
    fs::create_directories(pasta.Path() / "lojas");
    for (int i = 1; i <= o.Lojas; ++i) {
        relays.push_back(std::make_unique<TRelay>(Endereco(o.Endereco, i), s.Address(),
                                                  std::chrono::milliseconds(o.AtrasoMs)));
        ConfValues v;
        v.DatabaseIP = relays.back()->Endereco();
        v.Databasename = NomeBanco(i);
        v.Usuario = "leitor";
        v.Senha = TestServer::RootPassword;
        pasta.Write("lojas/" + NomeBanco(i) + ".conf", TextoConnectionConf(v));
    }
    const std::string arquivo = pasta.Write("caderno.csv", ArquivoOferta(o.Linhas));
    const std::vector<std::string> comum = {IMPORTA_CADERNO, arquivo,      "--nome", NomeCaderno,
                                            "--inicio",      "2026-12-10", "--fim",  "2026-12-24"};
    std::cout << "# " << Milhares(static_cast<long long>(comandos))
              << " statements a store, through its relay\n\n"
              << std::flush;

    // Each store alone, one after the other.
    RestauraLojas(s, o.Lojas);
    std::vector<double> sozinhas, cpuSozinhas;
    for (int i = 1; i <= o.Lojas; ++i) {
        std::vector<std::string> args = comum;
        for (const std::string& a :
             {std::string("--conf"), (pasta.Path() / "lojas" / (NomeBanco(i) + ".conf")).string(),
              std::string("--relatorio"), (pasta.Path() / "um.txt").string()})
            args.push_back(a);
        const TTempo t = CronometraPrograma(
            args,
            {.In = "/dev/null", .Out = "/dev/null", .Err = (pasta.Path() / "um.err").string()});
        sozinhas.push_back(t.Parede);
        cpuSozinhas.push_back(t.Cpu);
        std::cout << "single import, store " << i << ": " << Fixo(t.Parede, 2) << " s, CPU "
                  << Fixo(t.Cpu, 3) << " s\n"
                  << std::flush;
    }
    const std::vector<std::string> esperadas = Ligacoes(s, o.Lojas);
    double soma = 0, cpuSoma = 0;
    for (size_t i = 0; i < sozinhas.size(); ++i) {
        soma += sozinhas[i];
        cpuSoma += cpuSozinhas[i];
    }
    const double maisLenta = *std::max_element(sozinhas.begin(), sozinhas.end());
    std::cout << "sum of single imports: " << Fixo(soma, 1) << " s; slowest " << Fixo(maisLenta, 2)
              << " s; median " << Fixo(Mediana(sozinhas), 2) << " s\n\n"
              << std::flush;

    std::vector<TRodada> rodadas;
    for (int k : o.Simultaneas) {
        RestauraLojas(s, o.Lojas);
        std::vector<std::string> args = comum;
        for (const std::string& a :
             {std::string("--lojas"), (pasta.Path() / "lojas").string(),
              std::string("--relatorios"), (pasta.Path() / "relatorios").string(),
              std::string("--simultaneas"), std::to_string(k), std::string("--json")})
            args.push_back(a);
        const std::string saida = (pasta.Path() / "rollout.json").string();
        std::vector<std::string> shell = {"/bin/sh", "-c", "exec \"$0\" \"$@\" >\"$ARQUIVO\""};
        shell.insert(shell.end(), args.begin(), args.end());
        ::setenv("ARQUIVO", saida.c_str(), 1);
        const auto inicio = Relogio::now();
        const pid_t pid = Spawn(shell, {"/dev/null", "", (pasta.Path() / "rollout.err").string()});
        rusage uso{};
        const int status = WaitFor(pid, &uso);
        TRodada r;
        r.Simultaneas = k;
        r.Parede = Segundos(Relogio::now() - inicio);
        const std::string json = ReadAll(saida);
        if (ExitCode(status) != 0)
            throw std::runtime_error("the rollout with " + std::to_string(k) +
                                     " at once ended with " + std::to_string(ExitCode(status)) +
                                     ": " + json + ReadAll(pasta.Path() / "rollout.err"));
        // The wait status's usage holds the rollout's and its waited children's.
        r.CpuTotal = CpuDe(uso);
        r.MemoriaRolloutKb = uso.ru_maxrss;
        long memoria = 0;
        const auto entradas = Entradas(json);
        if (entradas.size() != static_cast<size_t>(o.Lojas))
            throw std::runtime_error("the rollout's summary has " +
                                     std::to_string(entradas.size()) + " stores");
        for (const auto& e : entradas) {
            r.CpuLojas += std::stod(e.at("cpu_segundos").Texto);
            r.MaiorLoja = std::max(r.MaiorLoja, std::stod(e.at("segundos").Texto));
            const long kb = std::stol(e.at("memoria_kb").Texto);
            r.MemoriaMaxKb = std::max(r.MemoriaMaxKb, kb);
            memoria += kb;
            if (e.at("saida").Texto != "0")
                throw std::runtime_error("store " + e.at("loja").Texto + " ended with " +
                                         e.at("saida").Texto);
        }
        r.MemoriaMediaKb = static_cast<double>(memoria) / o.Lojas;
        if (Ligacoes(s, o.Lojas) != esperadas)
            throw std::runtime_error("the rollout left other links than the single imports");
        const double alvo = maisLenta * std::ceil(static_cast<double>(o.Lojas) / k);
        std::cout << k << " at once: " << Fixo(r.Parede, 2) << " s (" << Fixo(r.Parede / soma, 3)
                  << " of the sum of single imports; " << Fixo(r.Parede / alvo, 2)
                  << " of the slowest single times the rounds); CPU " << Fixo(r.CpuTotal, 2)
                  << " s in all, " << Fixo(r.CpuTotal - r.CpuLojas, 3)
                  << " s of it the rollout's own; largest store process "
                  << Milhares(r.MemoriaMaxKb) << " KB\n"
                  << std::flush;
        rodadas.push_back(r);
    }

    // The figures as a table.
    std::ostringstream md;
    md << "| stores at once | wall s | of the sum of single imports (" << Fixo(soma, 1)
       << " s) | target: slowest single (" << Fixo(maisLenta, 2)
       << " s) x rounds | of the target | CPU s, all | CPU s, the rollout's own | CPU s per store "
          "| CPU, share of one core | largest store process, MB |\n"
       << "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n";
    for (const TRodada& r : rodadas) {
        const double alvo = maisLenta * std::ceil(static_cast<double>(o.Lojas) / r.Simultaneas);
        md << "| " << r.Simultaneas << " | " << Fixo(r.Parede, 1) << " | "
           << Fixo(r.Parede / soma, 3) << " | " << Fixo(alvo, 1) << " | "
           << Fixo(r.Parede / alvo, 2) << " | " << Fixo(r.CpuTotal, 2) << " | "
           << Fixo(r.CpuTotal - r.CpuLojas, 3) << " | " << Fixo(r.CpuLojas / o.Lojas, 3) << " | "
           << Fixo(r.CpuTotal / r.Parede, 3) << " | " << Fixo(r.MemoriaMaxKb / 1024.0, 1) << " |\n";
    }
    md << "\nSingle imports, one after the other: sum " << Fixo(soma, 1) << " s, slowest "
       << Fixo(maisLenta, 2) << " s, median " << Fixo(Mediana(sozinhas), 2) << " s, CPU "
       << Fixo(cpuSoma / o.Lojas, 3) << " s a store.\n";
    std::cout << "\n" << md.str() << std::flush;
    if (!o.Markdown.empty())
        std::ofstream(o.Markdown) << md.str();
    return 0;
} catch (const std::exception& e) {
    std::cerr << "rollout_bench: " << e.what() << "\n";
    return 1;
}
