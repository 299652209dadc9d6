#include "platform/PedidoParada.h"

#if defined(_WIN32)
#include <windows.h>

namespace {

// The state the console's handler reads, plain atomics that outlive every object: the count
// of requests while an object watches, -1 while none does; and whether a second one is only
// counted.
std::atomic<int> estado{-1};
std::atomic<bool> contaSegundo{false};

// Runs on a thread of its own, which the console starts for the event.
BOOL WINAPI AoControle(DWORD evento) {
    if (evento != CTRL_C_EVENT && evento != CTRL_BREAK_EVENT)
        return FALSE;
    int atual = estado.load();
    for (;;) {
        if (atual < 0)
            return FALSE; // no object watches: the system's own handler ends the program
        if (atual >= 1 && !contaSegundo.load())
            return FALSE; // the second: the system's own handler ends the program
        if (estado.compare_exchange_weak(atual, atual + 1))
            return TRUE; // noted: the program goes on to its next stop check
    }
}

} // namespace

struct TPedidoParada::TVigia {};

TPedidoParada::TPedidoParada(SegundoPedido segundo) {
    contaSegundo = segundo == SegundoPedido::Conta;
    estado = 0;
    SetConsoleCtrlHandler(AoControle, TRUE);
}

TPedidoParada::~TPedidoParada() {
    SetConsoleCtrlHandler(AoControle, FALSE);
    estado = -1;
}

int TPedidoParada::Pedidos() const {
    const int n = estado.load();
    return n < 0 ? 0 : n;
}

#else
#include <pthread.h>
#include <signal.h>

#include <cstdlib>
#include <ctime>
#include <thread>

namespace {

// SIGINT and SIGTERM, but for one that the program was started with ignored.
sigset_t SinaisDeParada() {
    sigset_t conjunto;
    sigemptyset(&conjunto);
    for (int sinal : {SIGINT, SIGTERM}) {
        struct sigaction atual {};
        if (sigaction(sinal, nullptr, &atual) == 0 && atual.sa_handler == SIG_IGN)
            continue;
        sigaddset(&conjunto, sinal);
    }
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
    sigset_t conjunto;
    sigset_t anterior;
    std::atomic<bool> fim{false};
    std::thread linha;

    TVigia(std::atomic<int>& pedidos, SegundoPedido segundo) : conjunto(SinaisDeParada()) {
        pthread_sigmask(SIG_BLOCK, &conjunto, &anterior);
        linha = std::thread([this, &pedidos, segundo] { Vigia(pedidos, segundo); });
    }
    ~TVigia() {
        fim = true;
        linha.join();
        // One that came too late for a stop check is taken here, so that lifting the block
        // does not end the program after its work is done.
        const timespec agora{0, 0};
        while (sigtimedwait(&conjunto, nullptr, &agora) > 0) {
        }
        pthread_sigmask(SIG_SETMASK, &anterior, nullptr);
    }
    void Vigia(std::atomic<int>& pedidos, SegundoPedido segundo) {
        const timespec espera{0, 50 * 1000 * 1000};
        while (!fim) {
            const int sinal = sigtimedwait(&conjunto, nullptr, &espera);
            if (sinal > 0 && pedidos.fetch_add(1) > 0 && segundo == SegundoPedido::Termina)
                TerminaComo(sinal);
        }
    }
};

TPedidoParada::TPedidoParada(SegundoPedido segundo)
    : vigia_(std::make_unique<TVigia>(pedidos_, segundo)) {}

TPedidoParada::~TPedidoParada() = default;

int TPedidoParada::Pedidos() const {
    return pedidos_.load();
}

#endif
