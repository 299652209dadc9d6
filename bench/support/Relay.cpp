#include "Relay.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in Endereco(const std::string& ip) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(3306);
    if (::inet_pton(AF_INET, ip.c_str(), &a.sin_addr) != 1)
        throw std::runtime_error("not a numeric address: " + ip);
    return a;
}

int Socket() {
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    int um = 1;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, &um, sizeof um);
    return s;
}

// Copies one direction until either side closes; each chunk leaves `atraso` after it arrived.
void Bombeia(int de, int para, std::chrono::microseconds atraso, const std::atomic<bool>& parar) {
    char buffer[65536];
    while (!parar) {
        pollfd p{de, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const ssize_t n = ::read(de, buffer, sizeof buffer);
        if (n <= 0)
            break;
        std::this_thread::sleep_for(atraso);
        for (ssize_t feito = 0; feito < n;) {
            const ssize_t m = ::write(para, buffer + feito, static_cast<size_t>(n - feito));
            if (m <= 0)
                return;
            feito += m;
        }
    }
    ::shutdown(para, SHUT_WR); // the other side sees the close
}

} // namespace

TRelay::TRelay(const std::string& endereco, const std::string& servidor,
               std::chrono::microseconds atraso)
    : endereco_(endereco), servidor_(servidor), atraso_(atraso), escuta_(Socket()) {
    int um = 1;
    ::setsockopt(escuta_, SOL_SOCKET, SO_REUSEADDR, &um, sizeof um);
    sockaddr_in a = ::Endereco(endereco);
    if (::bind(escuta_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(escuta_, 16) != 0)
        throw std::runtime_error("the relay cannot listen on " + endereco +
                                 ":3306: " + std::strerror(errno));
    aceitador_ = std::thread([this] { Aceita(); });
}

TRelay::~TRelay() {
    parar_ = true;
    aceitador_.join();
    for (auto& f : fluxos_)
        f.join();
    for (int s : sockets_)
        ::close(s);
    ::close(escuta_);
}

void TRelay::Aceita() {
    while (!parar_) {
        pollfd p{escuta_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        int cliente = ::accept4(escuta_, nullptr, nullptr, SOCK_CLOEXEC);
        if (cliente >= 0)
            Liga(cliente);
    }
}

void TRelay::Liga(int cliente) {
    sockets_.push_back(cliente);
    int um = 1;
    ::setsockopt(cliente, IPPROTO_TCP, TCP_NODELAY, &um, sizeof um);
    int servidor = Socket();
    sockets_.push_back(servidor);
    sockaddr_in a = ::Endereco(servidor_);
    if (::connect(servidor, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::shutdown(cliente, SHUT_RDWR);
        return;
    }
    fluxos_.emplace_back(Bombeia, cliente, servidor, atraso_, std::cref(parar_));
    fluxos_.emplace_back(Bombeia, servidor, cliente, atraso_, std::cref(parar_));
}
