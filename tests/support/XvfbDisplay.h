#pragma once
// A real X display for window tests: when CADOFERTAS_XVFB=1, the test program starts an Xvfb
// server of its own on a free display number (the server picks it and tells it through a pipe),
// points DISPLAY and Qt's platform at it, and stops it at the end. Without the variable
// nothing happens and the tests run on the platform the environment names (offscreen by
// default).
#include <sys/types.h>

#include <memory>

class XvfbDisplay {
public:
    // Starts the display when the environment asks for one; fails loudly when it cannot, so
    // that a run meant for a real display never falls back to offscreen unnoticed.
    static std::unique_ptr<XvfbDisplay> StartIfAsked();
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

private:
    explicit XvfbDisplay(pid_t pid) : pid_(pid) {}
    pid_t pid_;
};
