#include "TestServer.h"

#include "GeneralLog.h"

#include <mysql.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

MYSQL* Handle(void* p) {
    return static_cast<MYSQL*>(p);
}

struct SharedServer {
    std::unique_ptr<TestServer> server;
};

SharedServer& Holder() {
    static SharedServer holder;
    return holder;
}

} // namespace

std::string TestServer::DefaultAddress() {
    const char* address = std::getenv("CADOFERTAS_TEST_SERVER_ADDRESS");
    return address && *address ? address : "127.0.0.2";
}

TestServer& TestServer::Shared() {
    auto& holder = Holder();
    if (!holder.server)
        holder.server = std::make_unique<TestServer>();
    return *holder.server;
}

TestServer::TestServer(std::string address, std::vector<std::string> extraOptions)
    : address_(std::move(address)), extraOptions_(std::move(extraOptions)), dir_(FolderParent()) {
    InstallDatabase();
    Start();
    // Only root over the socket (for the tests' own statements) and root over TCP with a
    // password, as a store server has it.
    Exec(
        "DELETE FROM mysql.global_priv WHERE User = '' OR (User = 'root' AND Host <> 'localhost')");
    Exec("FLUSH PRIVILEGES");
    Exec(std::string("CREATE USER root@'%' IDENTIFIED BY '") + RootPassword + "'");
    Exec("GRANT ALL ON *.* TO root@'%' WITH GRANT OPTION");
}

void TestServer::CloseAdmin() {
    if (admin_)
        mysql_close(Handle(admin_));
    admin_ = nullptr;
}

std::vector<std::string> TestServer::InstallArguments() const {
    // A temporary folder of its own: servers bootstrapping side by side in one shared /tmp
    // may pick the same name for a temporary table and fail.
    return {"mariadb-install-db",
            "--no-defaults",
            "--force",
            "--skip-name-resolve",
            "--user=root",
            "--auth-root-authentication-method=normal",
            "--skip-test-db",
            "--datadir=" + HostPath(Folder() / "data"),
            "--tmpdir=" + HostPath(Folder() / "tmp")};
}

std::vector<std::string> TestServer::ServerArguments() const {
    std::vector<std::string> args = {
        "mariadbd",
        "--no-defaults",
        "--user=root",
        "--skip-name-resolve",
        "--datadir=" + HostPath(Folder() / "data"),
        "--tmpdir=" + HostPath(Folder() / "tmp"),
        "--bind-address=" + address_,
        "--port=3306",
        "--socket=" + HostPath(Folder() / "mysqld.sock"),
        "--pid-file=" + HostPath(Folder() / "mysqld.pid"),
        "--general-log=1",
        "--general-log-file=" + HostPath(Folder() / "general.log"),
        "--log-error=" + HostPath(Folder() / "error.log"),
        "--skip-log-bin",
        "--innodb-buffer-pool-size=32M",
        "--innodb-log-file-size=16M",
    };
    args.insert(args.end(), extraOptions_.begin(), extraOptions_.end());
    return args;
}

void* TestServer::Admin() {
    if (!admin_)
        throw std::runtime_error("the test server is not running");
    return admin_;
}

void TestServer::Exec(std::string_view sql, std::string_view database) {
    MYSQL* m = Handle(Admin());
    if (!database.empty() && mysql_select_db(m, std::string(database).c_str()) != 0)
        throw std::runtime_error(std::string("select db: ") + mysql_error(m));
    if (mysql_real_query(m, sql.data(), sql.size()) != 0)
        throw std::runtime_error(std::string(mysql_error(m)) + " in: " + std::string(sql));
    // Drain whatever results a multi-statement or a query produced.
    do {
        if (MYSQL_RES* r = mysql_store_result(m))
            mysql_free_result(r);
    } while (mysql_next_result(m) == 0);
}

std::vector<Row> TestServer::Query(std::string_view sql, std::string_view database) {
    MYSQL* m = Handle(Admin());
    if (!database.empty() && mysql_select_db(m, std::string(database).c_str()) != 0)
        throw std::runtime_error(std::string("select db: ") + mysql_error(m));
    if (mysql_real_query(m, sql.data(), sql.size()) != 0)
        throw std::runtime_error(std::string(mysql_error(m)) + " in: " + std::string(sql));
    MYSQL_RES* r = mysql_store_result(m);
    std::vector<Row> rows;
    if (!r)
        return rows;
    unsigned n = mysql_num_fields(r);
    while (MYSQL_ROW row = mysql_fetch_row(r)) {
        unsigned long* lengths = mysql_fetch_lengths(r);
        Row out;
        for (unsigned i = 0; i < n; ++i) {
            if (row[i])
                out.emplace_back(std::string(row[i], lengths[i]));
            else
                out.emplace_back(std::nullopt);
        }
        rows.push_back(std::move(out));
    }
    mysql_free_result(r);
    return rows;
}

std::string TestServer::Scalar(std::string_view sql, std::string_view database) {
    auto rows = Query(sql, database);
    if (rows.empty() || rows[0].empty() || !rows[0][0])
        return {};
    return *rows[0][0];
}

void TestServer::CreateStoreDatabase(const std::string& name) {
    Exec("DROP DATABASE IF EXISTS `" + name + "`");
    Exec("CREATE DATABASE `" + name + "` DEFAULT CHARACTER SET latin1");
    MYSQL* m = Handle(Admin());
    mysql_set_server_option(m, MYSQL_OPTION_MULTI_STATEMENTS_ON);
    Exec(StoreSchemaSql(), name);
    mysql_set_server_option(m, MYSQL_OPTION_MULTI_STATEMENTS_OFF);
}

std::vector<LogEntry> TestServer::Log() const {
    return GeneralLog(Folder() / "general.log").Since(0);
}

std::vector<LogEntry> TestServer::Since(size_t mark) const {
    auto all = Log();
    if (mark >= all.size())
        return {};
    return {all.begin() + static_cast<long>(mark), all.end()};
}

std::vector<std::string> TestServer::QueriesOf(const std::vector<LogEntry>& entries,
                                               long thread) const {
    std::vector<std::string> out;
    for (auto& e : entries)
        if (e.Thread == thread && e.Command == "Query")
            out.push_back(e.Argument);
    return out;
}

std::string StoreSchemaSql() {
    return ReadAll(std::filesystem::path(CADOFERTAS_SOURCE_DIR) / "schema/store.sql");
}
