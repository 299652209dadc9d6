#include "platform/PedidoParada.h"

#if defined(_WIN32)
#include <windows.h>

namespace {

std::shared_ptr<std::atomic<bool>>& Atual() {
    static std::shared_ptr<std::atomic<bool>> atual;
    return atual;
}

// Runs on a thread of its own, which the console starts for the event.
BOOL WINAPI AoControle(DWORD evento) {
    if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT)
        return FALSE;
    auto pedido = Atual();
    if (!pedido || pedido->exchange(true))
        return FALSE; // the second: the system's own handler ends the program
    return TRUE;      // the first: the program goes on to its next stop check
}

} // namespace

struct TPedidoParada::TVigia {};

TPedidoParada::TPedidoParada() : pedido_(std::make_shared<std::atomic<bool>>(false)) {
    Atual() = pedido_;
    SetConsoleCtrlHandler(AoControle, TRUE);
}

TPedidoParada::~TPedidoParada() {
    SetConsoleCtrlHandler(AoControle, FALSE);
    Atual().reset();
}

#else
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

sigset_t SinaisDeParada() {
    sigset_t conjunto;
    sigemptyset(&conjunto);
    sigaddset(&conjunto, SIGINT);
    sigaddset(&conjunto, SIGTERM);
    return conjunto;
}

// The signal's default action, from the watching thread: the process ends as it would have.
[[noreturn]] void TerminaComo(int sinal) {
    signal(sinal, SIG_DFL);
    sigset_t so;
    sigemptyset(&so);
    sigaddset(&so, sinal);
    pthread_sigmask(SIG_UNBLOCK, &so, nullptr);
    raise(sinal);
    std::_Exit(128 + sinal);
}

} // namespace

// The signals are blocked in every thread and taken by a thread of their own, so that one that
// comes while a statement waits for the server interrupts nothing.
struct TPedidoParada::TVigia {
    sigset_t anterior;
    std::atomic<bool> fim{false};
    std::thread linha;

    explicit TVigia(std::shared_ptr<std::atomic<bool>> pedido) {
        sigset_t conjunto = SinaisDeParada();
        pthread_sigmask(SIG_BLOCK, &conjunto, &anterior);
        linha = std::thread([this, pedido] { Vigia(*pedido); });
    }
    ~TVigia() {
        fim = true;
        linha.join();
        // One that came too late for a stop check is taken here, so that lifting the block
        // does not end the program after its work is done.
        sigset_t conjunto = SinaisDeParada();
        const timespec agora{0, 0};
        while (sigtimedwait(&conjunto, nullptr, &agora) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &anterior, nullptr);
    }
    void Vigia(std::atomic<bool>& pedido) {
        const sigset_t conjunto = SinaisDeParada();
        const timespec espera{0, 50 * 1000 * 1000};
        while (!fim) {
            const int sinal = sigtimedwait(&conjunto, nullptr, &espera);
            if (sinal > 0 && pedido.exchange(true))
                TerminaComo(sinal);
        }
    }
};

TPedidoParada::TPedidoParada()
    : pedido_(std::make_shared<std::atomic<bool>>(false)),
      vigia_(std::make_unique<TVigia>(pedido_)) {}

TPedidoParada::~TPedidoParada() = default;

#endif
