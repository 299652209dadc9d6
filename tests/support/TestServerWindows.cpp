// The test server under Wine: MariaDB is a program of the host, which a Windows program starts
// through Wine (a Unix path given to CreateProcess runs the host's program, without a handle to
// wait on). So each program runs inside a host shell that writes down the program's process
// number and, once it ends, its exit status; the test program waits for those files. The
// server's folder lies under CADOFERTAS_TEST_SERVER_FOLDER, a host folder seen through Wine's
// Z: drive, where the suite's clean-up stops whatever server a test program that died left
// behind. The tests reach the server over TCP as root.
#include "TestServer.h"

#include <mysql.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Z:\a\b is the host's /a/b.
std::string HostPathOf(const fs::path& path) {
    return path.generic_string().substr(2);
}

// An argument as the C runtime's rules, which Wine follows when it splits the command line of a
// host program, give it back whole.
std::string Quoted(const std::string& arg) {
    std::string out = "\"";
    size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, '\\');
    return out + "\"";
}

// Runs the bash script on the host with the arguments as $1, $2, ..., not waiting for it. The
// script's standard streams go nowhere and it keeps none of the test program's files open: a
// server holding the test's output would keep whoever reads it waiting.
void HostScript(const std::string& script, const std::vector<std::string>& args) {
    const std::string prologue = "for d in /proc/$$/fd/*; do n=${d##*/}; "
                                 "[ \"$n\" -gt 2 ] && eval \"exec $n>&-\"; done 2>/dev/null; "
                                 "exec </dev/null >/dev/null 2>&1; ";
    std::string line = "Z:\\bin\\bash -c " + Quoted(prologue + script) + " bash";
    for (const std::string& a : args)
        line += " " + Quoted(a);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::runtime_error("the host's bash could not be started (error " +
                                 std::to_string(GetLastError()) + ")");
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
}

// Runs the command inside a host shell that writes its process number to pidFile as soon as
// it starts and its exit status to endFile once it ends (each file whole, renamed into place).
void HostProgram(const std::vector<std::string>& command, const fs::path& pidFile,
                 const fs::path& endFile, const std::string& output) {
    std::error_code ignored;
    fs::remove(pidFile, ignored);
    fs::remove(endFile, ignored);
    std::vector<std::string> args = {output, HostPathOf(pidFile), HostPathOf(endFile)};
    args.insert(args.end(), command.begin(), command.end());
    HostScript("out=$1 pid=$2 end=$3; shift 3; \"$@\" >>\"$out\" 2>&1 & p=$!; "
               "echo $p >\"$pid.new\"; mv \"$pid.new\" \"$pid\"; wait $p; "
               "echo $? >\"$end.new\"; mv \"$end.new\" \"$end\"",
               args);
}

std::string ReadWhenThere(const fs::path& file, std::chrono::seconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    std::error_code ignored;
    while (!fs::exists(file, ignored)) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error(file.string() + " did not appear");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ReadAll(file);
}

} // namespace

fs::path TestServer::FolderParent() {
    const char* folder = std::getenv("CADOFERTAS_TEST_SERVER_FOLDER");
    if (!folder || *folder != '/')
        throw std::runtime_error("CADOFERTAS_TEST_SERVER_FOLDER must name a host folder");
    fs::path parent = std::string("Z:") + folder;
    fs::create_directories(parent);
    return parent;
}

std::string TestServer::HostPath(const fs::path& path) {
    return HostPathOf(path);
}

TestServer::~TestServer() {
    CloseAdmin();
    if (pid_ > 0) {
        HostScript("kill -TERM \"$1\"", {std::to_string(pid_)});
        try {
            ReadWhenThere(Folder() / "mariadbd.end", std::chrono::seconds(60));
        } catch (const std::exception&) {
            // left to the suite's clean-up
        }
    }
}

void TestServer::InstallDatabase() {
    fs::create_directories(Folder() / "data");
    fs::create_directories(Folder() / "tmp");
    HostProgram(InstallArguments(), Folder() / "install.pid", Folder() / "install.end",
                HostPath(Folder() / "install.log"));
    const std::string status = ReadWhenThere(Folder() / "install.end", std::chrono::seconds(120));
    if (std::stoi(status) != 0)
        throw std::runtime_error("mariadb-install-db failed (status " + status + "); see " +
                                 (Folder() / "install.log").string());
}

void TestServer::Start() {
    fs::create_directories(Folder() / "tmp");
    HostProgram(ServerArguments(), Folder() / "mariadbd.pid", Folder() / "mariadbd.end",
                "/dev/null");
    pid_ = std::stoi(ReadWhenThere(Folder() / "mariadbd.pid", std::chrono::seconds(60)));
    WaitReady();
}

void TestServer::WaitReady() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::error_code ignored;
    while (std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(Folder() / "mariadbd.end", ignored)) {
            pid_ = -1;
            throw std::runtime_error("mariadbd exited at start; see " +
                                     (Folder() / "error.log").string() + ":\n" +
                                     ReadAll(Folder() / "error.log"));
        }
        // Root without a password as the data folder is made, with one once the accounts are
        // set up (after a restart).
        for (const char* password : {"", RootPassword}) {
            MYSQL* m = mysql_init(nullptr);
            // The tests see the stored bytes as the tool does: Windows-1252, unconverted.
            mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin1");
            if (mysql_real_connect(m, address_.c_str(), "root", password, nullptr, 3306, nullptr,
                                   0)) {
                admin_ = m;
                return;
            }
            const unsigned error = mysql_errno(m);
            mysql_close(m);
            if (error != 1045) // access denied: try the other password
                break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("mariadbd did not become ready");
}

void TestServer::Kill() {
    CloseAdmin();
    if (pid_ > 0) {
        HostScript("kill -KILL \"$1\"", {std::to_string(pid_)});
        ReadWhenThere(Folder() / "mariadbd.end", std::chrono::seconds(60));
        pid_ = -1;
    }
}
