#pragma once
// Ctrl+C and SIGTERM as a request to stop, asked for between two pieces of work instead of
// ending the program in the middle of one. While the object lives, the first one is only
// noted, and Pedido() tells whether it came; a second one ends the program at once, as the
// signal would have, for a piece of work that does not end (a server that stopped answering),
// or, for a caller that ends its own work (SegundoPedido::Conta), is counted too. Once the
// object is gone, they act as before again. A signal that the program was started with
// ignored (a script's background job) stays ignored. On Windows, the console's Ctrl+C and
// Ctrl+Break (a Ctrl+C the console was told to ignore never reaches the program); one object
// at a time there.
#include <atomic>
#include <memory>

class TPedidoParada {
public:
    enum class SegundoPedido { Termina, Conta };

    explicit TPedidoParada(SegundoPedido segundo = SegundoPedido::Termina);
    ~TPedidoParada();
    TPedidoParada(const TPedidoParada&) = delete;
    TPedidoParada& operator=(const TPedidoParada&) = delete;

    // Whether a stop was asked for since the object was made; it stays asked for.
    bool Pedido() const { return Pedidos() > 0; }
    // How many times it was asked for.
    int Pedidos() const;

private:
    struct TVigia;
    std::atomic<int> pedidos_{0};
    std::unique_ptr<TVigia> vigia_;
};
