#include "Process.h"

#include "TempDir.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <fcntl.h>
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
