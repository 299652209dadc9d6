#pragma once
// An X server of the benchmark's own (Xvfb) on the first free display, so that the window is
// painted through a real display server as at a store; stopped when this object goes.
#include <string>

#include <sys/types.h>

class TXvfb {
public:
    TXvfb();
    ~TXvfb();
    TXvfb(const TXvfb&) = delete;
    TXvfb& operator=(const TXvfb&) = delete;

    const std::string& Display() const { return display_; }
    pid_t Pid() const { return pid_; }

private:
    std::string display_;
    pid_t pid_ = -1;
};
