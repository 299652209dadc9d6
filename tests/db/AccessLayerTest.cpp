// The MySQL access layer against a real server: connecting, executing, opening, the field
// conversions, the error texts and the escaping of double-quoted values.
#include "TestServer.h"
#include "db/Escape.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "platform/Erro.h"

#include <gtest/gtest.h>

#include <regex>

using namespace std::string_literals;

namespace {

class AccessLayer : public testing::Test {
protected:
    static void SetUpTestSuite() {
        auto& s = TestServer::Shared();
        s.CreateStoreDatabase("loja_db");
        s.Exec("CREATE TABLE tipos (i INT, t VARCHAR(20), d DATETIME, dd DATE, big BIGINT)",
               "loja_db");
        s.Exec("INSERT INTO tipos VALUES (NULL, NULL, NULL, NULL, NULL), (42, 'quarenta', "
               "'2026-12-09 17:05:30', '2026-01-31', 99999999999)",
               "loja_db");
    }

    // A product lookup handle on a connection configured for the store database.
    TMyConnection conexao;
    TMyQuery prod{"QProd", conexao};
    TMyQuery& Prod() {
        Configure(conexao);
        return prod;
    }

    void Configure(TMyConnection& c, const std::string& password = TestServer::RootPassword) {
        c.SetServer(TestServer::Shared().Address());
        c.SetPort(3306);
        c.SetUsername("root");
        c.SetPassword(password);
        c.SetDatabase("loja_db");
        c.SetCharset("latin1");
    }

    std::string MessageOf(const std::function<void()>& f) {
        try {
            f();
        } catch (const EErro& e) {
            return e.Message();
        }
        return "<no error>";
    }
};

TEST_F(AccessLayer, ConnectsAsTheGivenUserWithTheDatabaseFlag) {
    auto& s = TestServer::Shared();
    size_t mark = s.Mark();
    TMyConnection c;
    Configure(c);
    c.Connect();
    EXPECT_TRUE(c.Connected());
    c.Connect(); // a second connect changes nothing
    bool connectLine = false;
    int connects = 0;
    for (auto& e : s.Since(mark))
        if (e.Command == "Connect") {
            ++connects;
            connectLine =
                e.Argument.find("root@127.0.0.1 on loja_db using TCP/IP") != std::string::npos;
        }
    EXPECT_EQ(connects, 1);
    EXPECT_TRUE(connectLine);
}

TEST_F(AccessLayer, AFailedConnectCarriesTheClientLibrarysTextAndLeavesItClosed) {
    TMyConnection c;
    Configure(c, "wrong");
    std::string m = MessageOf([&] { c.Connect(); });
    EXPECT_NE(m.find("Access denied for user 'root'"), std::string::npos) << m;
    EXPECT_EQ(m, m.substr(0, m.find_last_not_of(" \r\n\t") + 1)); // trimmed
    EXPECT_FALSE(c.Connected());

    TMyConnection d;
    Configure(d);
    d.SetDatabase("no_such_db");
    EXPECT_NE(MessageOf([&] { d.Connect(); }).find("Unknown database 'no_such_db'"),
              std::string::npos);
}

TEST_F(AccessLayer, AMissingClientLibraryFailsWithItsName) {
    TMyConnection c;
    Configure(c);
    c.SetNomesBiblioteca({"libnao-existe.so.9", "libtambem-nao.so.1"});
    EXPECT_EQ(MessageOf([&] { c.Connect(); }), "Dynamic library libnao-existe.so.9 not found");
    EXPECT_FALSE(c.Connected());
}

TEST_F(AccessLayer, HandlesShareOneServerConnection) {
    TMyConnection c;
    Configure(c);
    TMyQuery temp("QTemp", c), prod("QProd", c);
    temp.SetSQL("insert into cadofertas (descricao) values (\"x\")");
    temp.Execute(); // connects on its own
    prod.SetSQL("SELECT LAST_INSERT_ID()");
    prod.Open();
    ASSERT_FALSE(prod.IsEmpty());
    int key = prod.Fields(0).AsInteger();
    EXPECT_GT(key, 0);
    EXPECT_EQ(TestServer::Shared().Scalar("select max(cadofertas_id) from cadofertas", "loja_db"),
              std::to_string(key));
}

TEST_F(AccessLayer, ErrorTextsOnExecuteAndOnOpen) {
    TMyConnection c;
    Configure(c);
    TMyQuery q("QTemp", c);
    q.SetSQL("insert into nao_existe values (1)");
    EXPECT_EQ(MessageOf([&] { q.Execute(); }), "QTemp: Table 'loja_db.nao_existe' doesn't exist");
    q.SetSQL("select * from nao_existe");
    EXPECT_EQ(MessageOf([&] { q.Open(); }), "Table 'loja_db.nao_existe' doesn't exist");
    // The connection stays usable after a refusal.
    q.SetSQL("select 1");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 1);
}

TEST_F(AccessLayer, FieldsByNameAndTheirConversions) {
    TMyQuery& q = Prod();
    q.SetSQL("select * from tipos where i is null");
    q.Open();
    ASSERT_FALSE(q.IsEmpty());
    EXPECT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.FieldByName("i").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("T").AsString(), "");
    EXPECT_EQ(q.FieldByName("d").AsDateTime(), TDataHora{});
    EXPECT_EQ(MessageOf([&] { q.FieldByName("nada"); }), "Field 'nada' not found");

    q.SetSQL("select * from tipos where i = 42");
    q.Open();
    EXPECT_EQ(q.FieldByName("i").AsInteger(), 42);
    EXPECT_EQ(q.FieldByName("t").AsString(), "quarenta");
    EXPECT_EQ(q.FieldByName("d").AsDateTime(), (TDataHora{{2026, 12, 9}, 17, 5, 30}));
    EXPECT_EQ(q.FieldByName("dd").AsDateTime(), (TDataHora{{2026, 1, 31}, 0, 0, 0}));
    EXPECT_EQ(MessageOf([&] { q.FieldByName("big").AsInteger(); }),
              "'99999999999' is not a valid integer value");
    EXPECT_EQ(MessageOf([&] { q.FieldByName("t").AsDateTime(); }),
              "'quarenta' is not a valid date and time");

    q.SetSQL("select * from tipos where i = -1");
    q.Open();
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.RecordCount(), 0);
}

TEST_F(AccessLayer, FieldPositionsByName) {
    TMyQuery& q = Prod();
    q.SetSQL("select * from tipos where i = 42");
    q.Open();
    EXPECT_EQ(q.FieldIndex("i"), 0);
    EXPECT_EQ(q.FieldIndex("T"), 1);
    EXPECT_EQ(q.Fields(q.FieldIndex("t")).AsString(), "quarenta");
    EXPECT_EQ(q.FieldIndex("nada"), -1);
}

TEST_F(AccessLayer, TheStatementTextIsCopiedFromAView) {
    TMyQuery& q = Prod();
    std::string texto = "select 7 from tipos where i = 42 -- and more";
    q.SetSQL(std::string_view(texto).substr(0, 32));
    texto.assign("changed afterwards");
    EXPECT_EQ(q.SQL(), "select 7 from tipos where i = 42");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 7);
}

TEST_F(AccessLayer, SettingTheTextClosesTheResult) {
    TMyQuery& q = Prod();
    q.SetSQL("select 1");
    q.Open();
    EXPECT_TRUE(q.Active());
    q.SetSQL("select 2");
    EXPECT_FALSE(q.Active());
}

TEST_F(AccessLayer, Windows1252BytesTravelUnchangedBothWays) {
    TMyConnection c;
    Configure(c);
    TMyQuery q("QTemp", c);
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes += static_cast<char>(b);
    q.SetSQL("insert into cadofertas (descricao) values (\"" + bytes + "\")");
    q.Execute();
    q.SetSQL("select descricao, hex(descricao) h from cadofertas where cadofertas_id = "
             "LAST_INSERT_ID()");
    q.Open();
    EXPECT_EQ(q.FieldByName("descricao").AsString(), bytes);
    std::string hex;
    for (int b = 0x80; b <= 0xFF; ++b) {
        char two[3];
        std::snprintf(two, sizeof two, "%02X", b);
        hex += two;
    }
    EXPECT_EQ(q.FieldByName("h").AsString(), hex);
}

TEST_F(AccessLayer, EscapedValuesAreStoredExactlyUnderBothModes) {
    std::string hostile = "nul\0mid"s + "a\"b\\c'd\\\"e\"\"\\\\"
                                        "\x01\r\n\x1a"
                                        "\xE3\xFF end\\";
    for (const char* mode : {"DEFAULT", "'NO_BACKSLASH_ESCAPES'"}) {
        TMyConnection c;
        Configure(c);
        TMyQuery q("QTemp", c);
        q.SetSQL(std::string("SET SESSION sql_mode = ") + mode);
        q.Execute();
        q.SetSQL("insert into cadofertas (descricao) values (\"" +
                 c.EscapaTextoAspasDuplas(hostile) + "\")");
        q.Execute();
        q.SetSQL("select descricao from cadofertas where cadofertas_id = LAST_INSERT_ID()");
        q.Open();
        EXPECT_EQ(q.FieldByName("descricao").AsString(), hostile) << mode;
    }
}

TEST(Escape, PlainValuesGoOutUnchanged) {
    EXPECT_FALSE(PrecisaEscapar("ARROZ 'TIPO' 1\r\n\xE3"));
    EXPECT_EQ(EscapaAspasDuplas("a\"b\\c", false), "a\"\"b\\\\c");
    EXPECT_EQ(EscapaAspasDuplas("a\"b\\c", true), "a\"\"b\\c");
}

} // namespace
