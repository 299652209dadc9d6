#pragma once
// A real X display of the program's own: an Xvfb server on a free display number (the server
// picks it and tells it through a pipe), DISPLAY and Qt's platform pointed at it, stopped at
// the end. Window tests start one when CADOFERTAS_XVFB=1 (without it they run on the platform
// the environment names, offscreen by default); the import benchmark when asked to.
#include <sys/types.h>

#include <memory>
#include <string>
#include <utility>

class XvfbDisplay {
public:
    // Starts the display when the environment asks for one; fails loudly when it cannot, so
    // that a run meant for a real display never falls back to offscreen unnoticed.
    static std::unique_ptr<XvfbDisplay> StartIfAsked();
    static std::unique_ptr<XvfbDisplay> Start();
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    const std::string& Display() const { return display_; } // ":N"
    pid_t Pid() const { return pid_; }

private:
    XvfbDisplay(pid_t pid, std::string display) : pid_(pid), display_(std::move(display)) {}
    pid_t pid_;
    std::string display_;
};
