#include "TestServer.h"

#include <gtest/gtest.h>

TEST(TestServer, StartsWithTheStoreSchemaAndLogsStatements) {
    auto& server = TestServer::Shared();
    server.CreateStoreDatabase("loja_smoke");
    size_t mark = server.Mark();
    server.Exec("insert into produto (barras) values ('0000000000789')", "loja_smoke");
    EXPECT_EQ(server.Scalar("select count(*) from produto", "loja_smoke"), "1");
    bool seen = false;
    for (auto& e : server.Since(mark))
        seen = seen || e.Argument == "insert into produto (barras) values ('0000000000789')";
    EXPECT_TRUE(seen);
}
