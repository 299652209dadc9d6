#pragma once
// The two exceptions of the system. Every failure is an EErro whose message is a text of
// Windows-1252 bytes, shown as it stands by the default error display. EAbort is the silent
// abort request of a handler that has already told the user why it stops.
#include <exception>
#include <string>
#include <utility>

class EErro : public std::exception {
public:
    explicit EErro(std::string mensagem) : mensagem_(std::move(mensagem)) {}
    const char* what() const noexcept override { return mensagem_.c_str(); }
    const std::string& Message() const noexcept { return mensagem_; }

private:
    std::string mensagem_;
};

class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// Raises the silent abort request.
[[noreturn]] inline void Abort() {
    throw EAbort();
}
