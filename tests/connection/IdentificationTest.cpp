// The server's identification, read over the identification connection with the user of
// connection.conf, and the errors of every way it can fail.
#include "Conf.h"
#include "TestServer.h"
#include "connection/ConnectionInfo.h"
#include "connection/Dao.h"
#include "connection/IdentificacaoServidor.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "platform/Erro.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <sys/wait.h>

namespace {

const std::string Prefix = "Falha ao carregar dados de identificação do servidor.\r\nMotivo: ";

class Identification : public testing::Test {
protected:
    static void SetUpTestSuite() {
        auto& s = TestServer::Shared();
        s.CreateStoreDatabase("loja_id");
        s.Exec("CREATE USER leitor@'%' IDENTIFIED BY 'senha-leitor'");
        s.Exec("GRANT SELECT ON loja_id.* TO leitor@'%'");
    }

    void SetUp() override {
        TIdentificacaoServidor::Liberar();
        TConnectionInfo::Liberar();
        auto& s = TestServer::Shared();
        s.Exec("DELETE FROM identificacao_servidor", "loja_id");
        ConfValues v;
        v.DatabaseIP = s.Address();
        v.Databasename = "loja_id";
        v.Usuario = "leitor";
        v.Senha = "senha-leitor";
        WriteConfBesideProgram(v);
    }

    void TearDown() override {
        TIdentificacaoServidor::Liberar();
        TConnectionInfo::Liberar();
        RemoveConfBesideProgram();
    }

    std::string LoadError() {
        try {
            TIdentificacaoServidor::GetInstance();
        } catch (const EErro& e) {
            return e.Message();
        }
        return "<no error>";
    }
};

TEST_F(Identification, ReadsTheRowWithTheExactStatementAsTheConfiguredUser) {
    auto& s = TestServer::Shared();
    s.Exec("INSERT INTO identificacao_servidor VALUES (12, '11222333000181', 'LOJA', "
           "'2025-03-04 05:06:07', 'abc123')",
           "loja_id");
    size_t mark = s.Mark();
    auto& id = TIdentificacaoServidor::GetInstance();
    EXPECT_EQ(id.GetFilialId(), 12);
    EXPECT_EQ(id.GetCnpjServidor(), "11222333000181");
    EXPECT_EQ(id.GetTipoServidor(), "LOJA");
    EXPECT_EQ(id.GetDataIdentificacao(), (TDataHora{{2025, 3, 4}, 5, 6, 7}));
    EXPECT_EQ(id.GetHashIdentificacao(), "abc123");

    auto log = s.Since(mark);
    long thread = -1;
    for (auto& e : log)
        if (e.Command == "Connect" &&
            e.Argument.rfind("leitor@127.0.0.1 on loja_id using TCP/IP", 0) == 0)
            thread = e.Thread;
    ASSERT_NE(thread, -1) << "no connection as leitor";
    auto queries = s.QueriesOf(log, thread);
    ASSERT_EQ(queries.size(), 1u);
    // The server drops a statement's trailing blanks and line ends before it logs it.
    std::string sent = TIdentificacaoServidor::Comando;
    EXPECT_EQ(sent.substr(sent.size() - 27), "  identificacao_servidor \r\n");
    EXPECT_EQ(queries[0], sent.substr(0, sent.size() - 3));
    // The identification connection stays open after the load.
    EXPECT_TRUE(TConnectionInfo::GetInstance().GetConnection().Connected());
}

TEST_F(Identification, AnEmptyTableSaysSoAfterTheWrappingSentence) {
    EXPECT_EQ(LoadError(), Prefix + "Não foi possível encontrar a identificação do servidor.");
}

TEST_F(Identification, AFailedLoadIsNotRetried) {
    EXPECT_NE(LoadError(), "<no error>");
    TestServer::Shared().Exec("INSERT INTO identificacao_servidor VALUES (5, 'c', 't', NULL, 'h')",
                              "loja_id");
    size_t mark = TestServer::Shared().Mark();
    EXPECT_EQ(TIdentificacaoServidor::GetInstance().GetFilialId(), 0);
    EXPECT_TRUE(TestServer::Shared().Since(mark).empty());
}

TEST_F(Identification, NullsReadAsZeroEmptyAndTheZeroDate) {
    TestServer::Shared().Exec(
        "INSERT INTO identificacao_servidor VALUES (NULL, NULL, NULL, NULL, NULL)", "loja_id");
    auto& id = TIdentificacaoServidor::GetInstance();
    EXPECT_EQ(id.GetFilialId(), 0);
    EXPECT_EQ(id.GetCnpjServidor(), "");
    EXPECT_EQ(id.GetDataIdentificacao(), TDataHora{});
}

TEST_F(Identification, AMissingColumnIsWrapped) {
    auto& s = TestServer::Shared();
    s.Exec("ALTER TABLE identificacao_servidor DROP COLUMN hash_identificacao", "loja_id");
    s.Exec("INSERT INTO identificacao_servidor VALUES (3, 'c', 't', NULL)", "loja_id");
    std::string m;
    try {
        // The statement itself names the column, so the server refuses it.
        TIdentificacaoServidor::GetInstance();
    } catch (const EErro& e) {
        m = e.Message();
    }
    s.Exec("ALTER TABLE identificacao_servidor ADD COLUMN hash_identificacao VARCHAR(128)",
           "loja_id");
    EXPECT_EQ(m.rfind(Prefix + "Unknown column 'hash_identificacao'", 0), 0u) << m;
}

TEST_F(Identification, ABranchNumberThatIsNotAnIntegerIsWrappedAndTheLaterFieldsStayEmpty) {
    auto& s = TestServer::Shared();
    s.Exec("ALTER TABLE identificacao_servidor MODIFY filial_id VARCHAR(10)", "loja_id");
    s.Exec("INSERT INTO identificacao_servidor VALUES ('x7', 'c', 't', NULL, 'h')", "loja_id");
    EXPECT_EQ(LoadError(), Prefix + "'x7' is not a valid integer value");
    EXPECT_EQ(TIdentificacaoServidor::GetInstance().GetCnpjServidor(), "");
    s.Exec("DELETE FROM identificacao_servidor", "loja_id");
    s.Exec("ALTER TABLE identificacao_servidor MODIFY filial_id INT", "loja_id");
}

TEST_F(Identification, AMissingTableGivesTheServersText) {
    auto& s = TestServer::Shared();
    s.Exec("RENAME TABLE identificacao_servidor TO identificacao_antiga", "loja_id");
    std::string m = LoadError();
    s.Exec("RENAME TABLE identificacao_antiga TO identificacao_servidor", "loja_id");
    EXPECT_EQ(m, Prefix + "Table 'loja_id.identificacao_servidor' doesn't exist");
}

TEST_F(Identification, AFailedConnectionIsWrappedAndTriedAgainOnTheNextRequest) {
    ConfValues v;
    v.DatabaseIP = TestServer::Shared().Address();
    v.Databasename = "loja_id";
    v.Usuario = "leitor";
    v.Senha = "errada";
    WriteConfBesideProgram(v);
    std::string m = LoadError();
    EXPECT_EQ(m.rfind(Prefix + "Access denied for user 'leitor'", 0), 0u) << m;
    // GetConnection stored nothing: a second request connects again (and fails again).
    size_t mark = TestServer::Shared().Mark();
    EXPECT_THROW(TConnectionInfo::GetInstance().GetConnection(), EErro);
    bool tried = false;
    for (auto& e : TestServer::Shared().Since(mark))
        tried = tried || e.Command == "Connect";
    EXPECT_TRUE(tried);
}

TEST_F(Identification, TheIdentificationConnectionGoesToTheConfiguredPort) {
    ConfValues v;
    v.DatabaseIP = TestServer::Shared().Address() + ":1"; // nothing listens on port 1
    v.Databasename = "loja_id";
    v.Usuario = "leitor";
    v.Senha = "senha-leitor";
    WriteConfBesideProgram(v);
    std::string m = LoadError();
    EXPECT_EQ(
        m.rfind(Prefix + "Can't connect to server on '" + TestServer::Shared().Address() + "'", 0),
        0u)
        << m;
}

TEST_F(Identification, TheConnectionIsReturnedUnchangedOnceMade) {
    auto& info = TConnectionInfo::GetInstance();
    TMyConnection* first = &info.GetConnection();
    EXPECT_EQ(&info.GetConnection(), first);
}

TEST(CreateQuery, AFailedOpenWithoutRaisingGivesNoQuery) {
    TIdentificacaoServidor::Liberar();
    TMyConnection c;
    c.SetServer(TestServer::Shared().Address());
    c.SetUsername("root");
    c.SetPassword(TestServer::RootPassword);
    c.SetDatabase("loja_id");
    EXPECT_EQ(TDao::CreateQuery(c, "select * from nada", false, false), nullptr);
    EXPECT_THROW(TDao::CreateQuery(c, "select * from nada", false, true), EErro);
    auto q = TDao::CreateQuery(c, "select 7 as sete", true, true);
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(q->CachedUpdates());
    EXPECT_EQ(q->FieldByName("sete").AsInteger(), 7);
}

} // namespace

namespace {

// Runs a program and gives its exit status and what it printed.
std::pair<int, std::string> RunProgram(const std::string& program) {
    std::string out;
    FILE* p = ::popen((program + " 2>&1").c_str(), "r");
    if (!p)
        return {-1, out};
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, p)) > 0)
        out.append(buffer, n);
    int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace

// A program that ends without releasing the settings closes the identification connection during
// the static clean-up; the client library's table must still be there then (the sanitizer build
// catches a use after free here).
TEST_F(Identification, TheIdentificationConnectionClosesCleanlyAtExit) {
    auto& s = TestServer::Shared();
    s.Exec("INSERT INTO identificacao_servidor VALUES (12, 'c', 'LOJA', NULL, 'h')", "loja_id");
    // The helper reads the connection.conf that SetUp wrote beside this program: same folder.
    size_t mark = s.Mark();
    auto [status, out] =
        RunProgram((std::filesystem::path(TConnectionInfo::CaminhoArquivo()).parent_path() /
                    "exit_with_connection")
                       .string());
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "12\n");
    // The server logs the quit as it reads it, a moment after the program has gone.
    long thread = -1;
    bool quit = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!quit && std::chrono::steady_clock::now() < deadline) {
        for (auto& e : s.Since(mark)) {
            if (e.Command == "Connect" && e.Argument.rfind("leitor@", 0) == 0)
                thread = e.Thread;
            if (e.Command == "Quit" && e.Thread == thread)
                quit = true;
        }
        if (!quit)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_NE(thread, -1);
    EXPECT_TRUE(quit) << "the connection was not closed at exit";
}
