#pragma once
// importa-caderno --lojas against four stores, each on a MariaDB server of its own (the shared
// one and three more): the stores, their .conf files, the command line and its summary read
// back, for the rollout's test files.
#include "Conf.h"
#include "LojaOfertas.h"
#include "Process.h"
#include "StoreFixture.h"
#include "TempDir.h"
#include "TestServer.h"
#include "connection/FormatoConf.h"
#include "tools/importa/LeituraJson.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <thread>

namespace importa_lojas_test {

namespace fs = std::filesystem;

inline std::string U8(std::u8string_view texto) {
    return std::string(reinterpret_cast<const char*>(texto.data()), texto.size());
}

const std::string Db = "loja";
const std::vector<std::string> Misturado = {
    "7891000100103;ARROZ 5KG;19,90;", "789;PAO;9,99;", "7891000300312;OLEO;5,49;",
    "7891999999999;NAO TEM;1,00;", "7891000100103;ARROZ DE NOVO;18,90;"};

// One store: its .conf name, its server and its branch (10: code "A", 11: "B", ...).
struct Store {
    std::string Name;
    TestServer* Server;
    int Branch;
};

inline std::vector<std::string> MoreAddresses() {
    std::vector<std::string> addresses;
    const char* env = std::getenv("CADOFERTAS_TEST_MORE_ADDRESSES");
    std::stringstream list(env ? env : "");
    for (std::string a; std::getline(list, a, ',');)
        addresses.push_back(a);
    return addresses;
}

// Each store's entry of the rollout's summary, by its name.
using Entries = std::map<std::string, std::map<std::string, TValorJson>>;

class ImportaLojasTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::vector<std::string> more = MoreAddresses();
        ASSERT_EQ(more.size(), 3u) << "CADOFERTAS_TEST_MORE_ADDRESSES";
        for (const std::string& a : more)
            servers().push_back(std::make_unique<TestServer>(a));
    }
    static void TearDownTestSuite() { servers().clear(); }
    static std::vector<std::unique_ptr<TestServer>>& servers() {
        static std::vector<std::unique_ptr<TestServer>> s;
        return s;
    }

    void SetUp() override {
        stores = {{"alfa", &TestServer::Shared(), 10},
                  {"beta", servers()[0].get(), 11},
                  {"gama", servers()[1].get(), 12},
                  {"delta", servers()[2].get(), 13}};
        fs::create_directories(dir.Path() / "lojas");
        for (const Store& s : stores) {
            CreateStore(*s.Server, Db, s.Branch);
            RefillOfferStore(*s.Server, Db);
            ConfValues v;
            v.DatabaseIP = s.Server->Address();
            v.Databasename = Db;
            v.Usuario = "leitor";
            v.Senha = TestServer::RootPassword;
            dir.Write("lojas/" + s.Name + ".conf", TextoConnectionConf(v));
        }
        arquivo = dir.Write("caderno.csv", OfferFile(Misturado));
    }
    void TearDown() override {
        for (const Store& s : stores)
            s.Server->Exec("DROP TRIGGER IF EXISTS devagar", Db);
    }

    std::vector<std::string> Args(std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {IMPORTA_CADERNO, arquivo,
                                         "--nome",        "Ofertas da Semana",
                                         "--inicio",      "2026-12-10",
                                         "--fim",         "24/12/2026",
                                         "--lojas",       (dir.Path() / "lojas").string(),
                                         "--relatorios",  (dir.Path() / "relatorios").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
    ProgramRun Run(std::vector<std::string> extra = {}) { return RunProgram(Args(extra)); }

    // The rollout's one JSON object: its code, and each store's entry by its name.
    Entries Summary(const ProgramRun& r) {
        EXPECT_EQ(r.Out.substr(r.Out.rfind("], \"saida\": ")),
                  "], \"saida\": " + std::to_string(r.Code) + ", \"erro\": null}\n")
            << r.Out;
        Entries entries;
        const auto lista = LeListaJson(r.Out, "lojas");
        EXPECT_TRUE(lista) << r.Out;
        if (lista)
            for (const auto& entry : *lista)
                entries[entry.at("loja").Texto] = entry;
        return entries;
    }
    static std::string Get(const Entries& e, const std::string& store, const std::string& name) {
        const auto& entry = e.at(store);
        const auto i = entry.find(name);
        if (i == entry.end())
            return "";
        return i->second.Tipo == TValorJson::Tipo::Nulo ? "null" : i->second.Texto;
    }
    std::string One(const Store& s, const std::string& sql) { return s.Server->Scalar(sql, Db); }
    // A product link that takes a while, so that a run can be caught in the middle.
    void Slow(const Store& s, int lines) {
        s.Server->Exec("INSERT INTO produto (produto_id, barras) SELECT seq + 1000, "
                       "LPAD(seq, 13, '0') FROM seq_1_to_" +
                           std::to_string(lines),
                       Db);
        s.Server->Exec("CREATE TRIGGER devagar AFTER INSERT ON prodcadofertas FOR EACH ROW "
                       "SET @espera = SLEEP(0.02)",
                       Db);
    }
    std::string SlowFile(int lines) {
        std::vector<std::string> l;
        for (int i = 1; i <= lines; ++i)
            l.push_back(std::to_string(i) + ";P;2,5;");
        return dir.Write("lento.csv", OfferFile(l));
    }
    // Whole lines only: every link with its product's update.
    void ExpectWholeLines(const Store& s) {
        EXPECT_EQ(One(s, "select count(*) from produto where lojas_leram <> ''"),
                  One(s, "select count(*) from prodcadofertas"))
            << s.Name;
    }

    TempDir dir;
    std::vector<Store> stores;
    std::string arquivo;
};

} // namespace importa_lojas_test
