#include "StoreFixture.h"

#include "Conf.h"
#include "TestServer.h"

void CreateStore(const std::string& db, std::optional<int> filialId) {
    CreateStore(TestServer::Shared(), db, filialId);
}

void CreateStore(TestServer& s, const std::string& db, std::optional<int> filialId) {
    s.CreateStoreDatabase(db);
    s.Exec(std::string("CREATE USER IF NOT EXISTS leitor@'%' IDENTIFIED BY '") +
           TestServer::RootPassword + "'");
    s.Exec("GRANT SELECT ON " + db + ".* TO leitor@'%'");
    if (filialId)
        s.Exec("INSERT INTO identificacao_servidor VALUES (" + std::to_string(*filialId) +
                   ", 'c', 'LOJA', NULL, 'h')",
               db);
}

void IdentifyStore(const std::string& db, int filialId) {
    TestServer::Shared().Exec("INSERT INTO identificacao_servidor VALUES (" +
                                  std::to_string(filialId) + ", 'c', 'LOJA', NULL, 'h')",
                              db);
}

void PointConfAtStore(const std::string& db, const std::string& user) {
    ConfValues v;
    v.DatabaseIP = TestServer::Shared().Address();
    v.Databasename = db;
    v.Usuario = user;
    v.Senha = TestServer::RootPassword;
    WriteConfBesideProgram(v);
}
