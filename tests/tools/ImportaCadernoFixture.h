#pragma once
// importa-caderno against a real server, as the chain's IT runs it: the store, the usual
// booklet's command line and the files it imports, for the command's test files.
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
#include <filesystem>
#include <map>
#include <thread>

namespace importa_caderno_test {

namespace fs = std::filesystem;
using namespace std::string_literals;

// What the command says and takes on the command line is UTF-8; the narrow literals of the
// tests are Windows-1252.
inline std::string U8(std::u8string_view texto) {
    return std::string(reinterpret_cast<const char*>(texto.data()), texto.size());
}

const std::string Db = "loja_comando";

// A product found in produto, one padded, one found by barras only, one missing, and the
// first again (its link is revived).
const std::vector<std::string> Misturado = {
    "7891000100103;ARROZ 5KG;19,90;", "789;PAO;9,99;", "7891000300312;OLEO;5,49;",
    "7891999999999;NAO TEM;1,00;", "7891000100103;ARROZ DE NOVO;18,90;"};

class ImportaCadernoTest : public testing::Test {
protected:
    static void SetUpTestSuite() { CreateStore(Db, 10); } // branch 10: store code "A"

    void SetUp() override {
        RefillOfferStore(Db);
        ConfValues v;
        v.DatabaseIP = TestServer::Shared().Address();
        v.Databasename = Db;
        v.Usuario = "leitor";
        v.Senha = TestServer::RootPassword;
        conf = dir.Write("connection.conf", TextoConnectionConf(v));
        relatorio = (dir.Path() / "Relatorio.txt").string();
    }

    // The command with the usual booklet and the given file and options.
    ProgramRun Run(const std::string& arquivo, std::vector<std::string> extra = {}) {
        std::vector<std::string> args = {
            IMPORTA_CADERNO, arquivo,      "--nome",      "Ofertas da Semana",
            "--inicio",      "2026-12-10", "--fim",       "24/12/2026",
            "--conf",        conf,         "--relatorio", relatorio};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProgram(args);
    }
    std::string File(const std::vector<std::string>& lines, const std::string& name = "o.csv") {
        return dir.Write(name, OfferFile(lines));
    }
    std::string One(const std::string& sql) { return TestServer::Shared().Scalar(sql, Db); }
    // A connection.conf for the shared server's database, as the given user and password.
    std::string Conf(const std::string& nome, const std::string& ip, const std::string& db,
                     const std::string& senha = TestServer::RootPassword) {
        ConfValues v;
        v.DatabaseIP = ip;
        v.Databasename = db;
        v.Usuario = "leitor";
        v.Senha = senha;
        return dir.Write(nome, TextoConnectionConf(v));
    }

    TempDir dir;
    std::string conf, relatorio;
};

// What --json printed: exactly one JSON object, whose "saida" is the exit code.
inline std::map<std::string, TValorJson> Summary(const ProgramRun& r) {
    const auto membros = LeObjetoJson(r.Out);
    if (!membros) {
        ADD_FAILURE() << "not one JSON object: " << r.Out;
        return {};
    }
    const auto saida = membros->find("saida");
    EXPECT_TRUE(saida != membros->end() && saida->second.Texto == std::to_string(r.Code)) << r.Out;
    return *membros;
}
// A member's text; "null" for a null one, "" for a missing one.
inline std::string Member(const std::map<std::string, TValorJson>& membros,
                          const std::string& nome) {
    const auto i = membros.find(nome);
    if (i == membros.end())
        return "";
    return i->second.Tipo == TValorJson::Tipo::Nulo ? "null" : i->second.Texto;
}

} // namespace importa_caderno_test
