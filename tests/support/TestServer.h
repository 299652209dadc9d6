#pragma once
// A throwaway MariaDB server for the tests: a fresh data folder made with mariadb-install-db,
// mariadbd bound to a loopback address of its own on port 3306 (the port the main connection
// always uses), the general query log on, and everything stopped and removed at the end,
// also when a test fails or the test program dies.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "GeneralLog.h"
#include "TempDir.h"

using Row = std::vector<std::optional<std::string>>;

class TestServer {
public:
    static constexpr const char* RootPassword = "raiz-secreta";

    // The address comes from CADOFERTAS_TEST_SERVER_ADDRESS (set per test program by CMake).
    // Further server options (such as a benchmark's) are added to the usual ones.
    explicit TestServer(std::string address = DefaultAddress(),
                        std::vector<std::string> extraOptions = {});
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // The server shared by the tests of one program, started on first use and stopped at exit.
    static TestServer& Shared();
    static std::string DefaultAddress();

    const std::string& Address() const { return address_; }
    const std::filesystem::path& Folder() const { return dir_.Path(); }

    // Administrative statements, as root over the server's socket (on Windows, over TCP).
    void Exec(std::string_view sql, std::string_view database = "");
    std::vector<Row> Query(std::string_view sql, std::string_view database = "");
    std::string Scalar(std::string_view sql, std::string_view database = "");

    // A new, empty store database with our schema.
    void CreateStoreDatabase(const std::string& name);

    // The general log: everything the server received, in order. Mark() and Since() give the
    // entries of one test step.
    std::vector<LogEntry> Log() const;
    size_t Mark() const { return Log().size(); }
    std::vector<LogEntry> Since(size_t mark) const;
    // The statements that one client connection sent (found by its Connect line's user).
    std::vector<std::string> QueriesOf(const std::vector<LogEntry>& entries, long thread) const;

    void Kill();  // SIGKILL, as a crash would
    void Start(); // (re)starts on the same data folder

private:
    // The part each platform has of its own (TestServerPosix.cpp, TestServerWindows.cpp): where
    // the folder is made, how the server's programs are run and how the tests reach it.
    static std::filesystem::path FolderParent();
    static std::string
    HostPath(const std::filesystem::path& path); // as the server's programs name it
    void InstallDatabase();
    void WaitReady();
    void* Admin();
    void CloseAdmin();
    // The command lines of the data folder's making and of the server, on every platform.
    std::vector<std::string> InstallArguments() const;
    std::vector<std::string> ServerArguments() const;

    std::string address_;
    std::vector<std::string> extraOptions_;
    TempDir dir_;
    int pid_ = -1;
    void* admin_ = nullptr;
};

// The text of the schema file shipped with the project.
std::string StoreSchemaSql();
