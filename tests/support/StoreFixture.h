#pragma once
// A store as the program finds it, on the test program's shared server: the store's database,
// a reader user that may only read it (the server's own password), the branch's identification
// row, and a connection.conf beside the program that points at it.
#include <optional>
#include <string>

// The database with the store's tables, readable by "leitor"; with a branch number, its
// identification row too.
void CreateStore(const std::string& db, std::optional<int> filialId = 10);
// The same on another server than the shared one.
class TestServer;
void CreateStore(TestServer& server, const std::string& db, std::optional<int> filialId);
// The identification row of the branch, in a store whose row was taken away.
void IdentifyStore(const std::string& db, int filialId);
// connection.conf beside the program, pointing at the store on the shared server as user.
void PointConfAtStore(const std::string& db, const std::string& user = "leitor");
