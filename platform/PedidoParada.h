#pragma once
// Ctrl+C and SIGTERM as a request to stop, asked for between two pieces of work instead of
// ending the program in the middle of one. While the object lives, the first one is only
// noted, and Pedido() tells whether it came; a second one ends the program at once, as the
// signal would have, for a piece of work that does not end (a server that stopped answering).
// Once the object is gone, they act as before again. On Windows, the console's Ctrl+C and
// Ctrl+Break.
#include <atomic>
#include <memory>

class TPedidoParada {
public:
    TPedidoParada();
    ~TPedidoParada();
    TPedidoParada(const TPedidoParada&) = delete;
    TPedidoParada& operator=(const TPedidoParada&) = delete;

    // Whether a stop was asked for since the object was made; it stays asked for.
    bool Pedido() const { return pedido_->load(); }

private:
    struct TVigia;
    std::shared_ptr<std::atomic<bool>> pedido_;
    std::unique_ptr<TVigia> vigia_;
};
