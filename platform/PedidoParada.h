#pragma once
// Ctrl+C and SIGTERM as a request to stop, asked for between two pieces of work instead of
// ending the program in the middle of one. While the object lives, SIGINT and SIGTERM are held
// pending (on Windows, the console's Ctrl+C and Ctrl+Break are answered by a handler) and
// Pedido() tells whether one came; once it is gone, they act as before again.
class TPedidoParada {
public:
    TPedidoParada();
    ~TPedidoParada();
    TPedidoParada(const TPedidoParada&) = delete;
    TPedidoParada& operator=(const TPedidoParada&) = delete;

    // Whether a stop was asked for since the object was made; it stays asked for.
    bool Pedido();

private:
    bool pedido_ = false;
};
