#include "XvfbDisplay.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

[[noreturn]] void Falha(const std::string& motivo) {
    std::fprintf(stderr, "Xvfb: %s\n", motivo.c_str());
    std::exit(2);
}

// Reads the display number Xvfb writes once it accepts connections.
std::string LeNumero(int fd) {
    std::string numero;
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        int r = ::poll(&p, 1, 30000);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            Falha("no display number within 30 s");
        char c;
        ssize_t n = ::read(fd, &c, 1);
        if (n <= 0)
            Falha("the server ended before giving its display number (is Xvfb installed?)");
        if (c == '\n')
            return numero;
        numero += c;
    }
}

} // namespace

std::unique_ptr<XvfbDisplay> XvfbDisplay::StartIfAsked() {
    const char* pedido = std::getenv("CADOFERTAS_XVFB");
    if (!pedido || std::strcmp(pedido, "1") != 0)
        return nullptr;
    return Start();
}

std::unique_ptr<XvfbDisplay> XvfbDisplay::Start() {
    int canal[2];
    if (::pipe(canal) != 0)
        Falha(std::strerror(errno));
    pid_t pid = ::fork();
    if (pid < 0)
        Falha(std::strerror(errno));
    if (pid == 0) {
        ::close(canal[0]);
        // It goes with the test even when the test dies without its destructors (a crash, an
        // abort): left behind, it would hold the test's output open and ctest would wait on it.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        int nulo = ::open("/dev/null", O_RDWR);
        for (int fd : {0, 1, 2})
            ::dup2(nulo, fd);
        std::string fd = std::to_string(canal[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
                 "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        ::_exit(127); // the parent then reads no display number and says so
    }
    ::close(canal[1]);
    const std::string numero = LeNumero(canal[0]);
    ::close(canal[0]);
    ::setenv("DISPLAY", (":" + numero).c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    return std::unique_ptr<XvfbDisplay>(new XvfbDisplay(pid, ":" + numero));
}

XvfbDisplay::~XvfbDisplay() {
    ::kill(pid_, SIGTERM);
    int estado = 0;
    while (::waitpid(pid_, &estado, 0) < 0 && errno == EINTR) {
    }
}
