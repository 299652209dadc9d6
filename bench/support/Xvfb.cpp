#include "Xvfb.h"

#include "Process.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

// A display is taken while its lock file or its socket is there.
int DisplayLivre() {
    for (int n = 90; n < 200; ++n)
        if (!fs::exists("/tmp/.X" + std::to_string(n) + "-lock") &&
            !fs::exists("/tmp/.X11-unix/X" + std::to_string(n)))
            return n;
    throw std::runtime_error("no free X display between :90 and :199");
}

} // namespace

TXvfb::TXvfb() {
    const int n = DisplayLivre();
    display_ = ":" + std::to_string(n);
    pid_ = Spawn({"Xvfb", display_, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
                 Redirections::OutputTo("/dev/null"));
    const fs::path socket = "/tmp/.X11-unix/X" + std::to_string(n);
    for (int i = 0; i < 200 && !fs::exists(socket); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    if (!fs::exists(socket))
        throw std::runtime_error("Xvfb did not start on " + display_);
}

TXvfb::~TXvfb() {
    ::kill(pid_, SIGTERM);
    WaitFor(pid_);
}
