// The test server's programs run as child processes of the test program, which reaches the
// server over its Unix socket.
#include "Process.h"
#include "TestServer.h"

#include <mysql.h>

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

std::filesystem::path TestServer::FolderParent() {
    return std::filesystem::temp_directory_path();
}

std::string TestServer::HostPath(const std::filesystem::path& path) {
    return path.string();
}

TestServer::~TestServer() {
    CloseAdmin();
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
}

void TestServer::InstallDatabase() {
    std::filesystem::create_directories(Folder() / "data");
    std::filesystem::create_directories(Folder() / "tmp");
    RunToEnd(InstallArguments(), Redirections::OutputTo((Folder() / "install.log").string()));
}

void TestServer::Start() {
    std::filesystem::create_directories(Folder() / "tmp");
    pid_ = Spawn(ServerArguments());
    WaitReady();
}

void TestServer::WaitReady() {
    auto socket = (Folder() / "mysqld.sock").string();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("mariadbd exited at start; see " +
                                     (Folder() / "error.log").string() + ":\n" +
                                     ReadAll(Folder() / "error.log"));
        }
        MYSQL* m = mysql_init(nullptr);
        // The tests see the stored bytes as the tool does: Windows-1252, unconverted.
        mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
        if (mysql_real_connect(m, nullptr, "root", "", nullptr, 0, socket.c_str(), 0)) {
            admin_ = m;
            return;
        }
        mysql_close(m);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("mariadbd did not become ready");
}

void TestServer::Kill() {
    CloseAdmin();
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}
