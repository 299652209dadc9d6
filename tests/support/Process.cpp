#include "Process.h"

#include "TempDir.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// In the child, between fork and exec: only async-signal-safe calls.
bool Redirect(const std::string& path, int flags, int target) {
    if (path.empty())
        return true;
    int fd = ::open(path.c_str(), flags, 0644);
    return fd >= 0 && ::dup2(fd, target) >= 0;
}

} // namespace

pid_t Spawn(const std::vector<std::string>& args, const Redirections& io) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the program that started it
        bool ok = Redirect(io.In, O_RDONLY, 0) &&
                  Redirect(io.Out, O_WRONLY | O_CREAT | O_APPEND, 1) &&
                  (io.Out.empty() || ::dup2(1, 2) >= 0) &&
                  Redirect(io.Err, O_WRONLY | O_CREAT | O_TRUNC, 2);
        if (!ok)
            std::_Exit(126);
        ::execvp(argv[0], argv.data());
        std::_Exit(127);
    }
    return pid;
}

int WaitFor(pid_t pid, rusage* usage) {
    int status = 0;
    while (::wait4(pid, &status, 0, usage) < 0 && errno == EINTR) {
    }
    return status;
}

void RunToEnd(const std::vector<std::string>& args, const Redirections& io) {
    int status = WaitFor(Spawn(args, io));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(args[0] + " failed (status " + std::to_string(status) + ")" +
                                 (io.Out.empty() ? "" : "; see " + io.Out));
}

int ExitCode(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProgramRun RunProgram(const std::vector<std::string>& args, const std::string& input) {
    const TempDir io;
    const std::string in = io.Write("entrada", input);
    const auto out = io.Path() / "saida", err = io.Path() / "erros";
    ProgramRun r;
    r.Code = ExitCode(WaitFor(Spawn(args, {in, out.string(), err.string()})));
    r.Out = ReadAll(out);
    r.Err = ReadAll(err);
    return r;
}

ProgramRun
RunOnTerminal(const std::vector<std::string>& args,
              const std::function<void(std::string_view shown, int terminal)>& onOutput) {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) || ::unlockpt(master))
        throw std::runtime_error("no pseudo-terminal");
    const std::string slaveName = ::ptsname(master);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::setsid();
        int slave = ::open(slaveName.c_str(), O_RDWR);
        ::dup2(slave, 0);
        ::dup2(slave, 1);
        ::dup2(slave, 2);
        ::close(slave);
        ::close(master);
        ::execv(argv[0], argv.data());
        std::_Exit(127);
    }
    ProgramRun r;
    for (;;) {
        pollfd fd{master, POLLIN, 0};
        if (::poll(&fd, 1, 20000) <= 0)
            break;
        char buffer[4096];
        ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break; // EIO once the program has ended and closed the terminal
        r.Out.append(buffer, static_cast<size_t>(n));
        if (onOutput)
            onOutput(r.Out, master);
    }
    ::close(master);
    r.Code = ExitCode(WaitFor(pid));
    return r;
}
