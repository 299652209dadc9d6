#include "platform/Rede.h"

#include "platform/Erro.h"

#include <cerrno>
#include <cstdio>
#include <string>

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

[[noreturn]] void ErroSocket(int codigo, const std::string& texto, const char* api) {
    throw EErro("Socket Error # " + std::to_string(codigo) + "\r\n" + texto + " (" + api + ")");
}

} // namespace

std::string EnderecoLocal() {
    char nome[256] = {};
    if (::gethostname(nome, sizeof nome - 1) != 0)
        ErroSocket(errno, "Cannot read the host name", "gethostname");
    addrinfo dica{};
    dica.ai_family = AF_INET;
    dica.ai_socktype = SOCK_STREAM;
    addrinfo* lista = nullptr;
    int erro = ::getaddrinfo(nome, nullptr, &dica, &lista);
    if (erro != 0 || !lista)
        ErroSocket(erro, gai_strerror(erro), "gethostbyname");
    auto* ip = reinterpret_cast<sockaddr_in*>(lista->ai_addr);
    auto bytes = reinterpret_cast<const unsigned char*>(&ip->sin_addr.s_addr);
    char texto[16];
    std::snprintf(texto, sizeof texto, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    ::freeaddrinfo(lista);
    return texto;
}
