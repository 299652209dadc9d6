#include "platform/PedidoParada.h"

#if defined(_WIN32)
#include <windows.h>

#include <atomic>

namespace {

std::atomic<bool> sinal{false};

// Runs on a thread of its own, which the console starts for the event.
BOOL WINAPI AoControle(DWORD evento) {
    if (evento == CTRL_C_EVENT || evento == CTRL_BREAK_EVENT) {
        sinal = true;
        return TRUE; // handled: the program goes on to its next stop check
    }
    return FALSE;
}

} // namespace

TPedidoParada::TPedidoParada() {
    sinal = false;
    SetConsoleCtrlHandler(AoControle, TRUE);
}

TPedidoParada::~TPedidoParada() {
    SetConsoleCtrlHandler(AoControle, FALSE);
}

bool TPedidoParada::Pedido() {
    pedido_ = pedido_ || sinal.load();
    return pedido_;
}

#else
#include <signal.h>

namespace {

sigset_t SinaisDeParada() {
    sigset_t conjunto;
    sigemptyset(&conjunto);
    sigaddset(&conjunto, SIGINT);
    sigaddset(&conjunto, SIGTERM);
    return conjunto;
}

// Takes a pending stop signal, if one is pending; the signals are blocked, so sigwait returns
// at once.
bool TomaPendente() {
    sigset_t pendentes;
    sigpending(&pendentes);
    int qual = 0;
    if (sigismember(&pendentes, SIGINT) == 1 || sigismember(&pendentes, SIGTERM) == 1) {
        sigset_t conjunto = SinaisDeParada();
        sigwait(&conjunto, &qual);
        return true;
    }
    return false;
}

sigset_t& MascaraAnterior() {
    static sigset_t anterior;
    return anterior;
}

} // namespace

// Blocked rather than caught: a signal that comes while a statement waits for the server
// interrupts nothing, and is seen at the next stop check.
TPedidoParada::TPedidoParada() {
    sigset_t conjunto = SinaisDeParada();
    sigprocmask(SIG_BLOCK, &conjunto, &MascaraAnterior());
}

TPedidoParada::~TPedidoParada() {
    // One that came too late for a stop check is taken here, so that lifting the block does
    // not end the program after its work is done.
    while (TomaPendente()) {
    }
    sigprocmask(SIG_SETMASK, &MascaraAnterior(), nullptr);
}

bool TPedidoParada::Pedido() {
    while (TomaPendente())
        pedido_ = true;
    return pedido_;
}

#endif
