#include "platform/Rede.h"

#include "platform/Erro.h"
#include "platform/Texto.h"

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

std::string EmPontos(const void* endereco) {
    auto bytes = static_cast<const unsigned char*>(endereco);
    char texto[16];
    std::snprintf(texto, sizeof texto, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return texto;
}

} // namespace

#if defined(_WIN32)

namespace {

[[noreturn]] void ErroWinsock(const char* api) {
    int codigo = WSAGetLastError();
    ErroSocket(codigo, TextoDoErroWindows(codigo), api);
}

// Winsock answers nothing before it is started; it is started once, for the whole run.
void IniciaWinsock() {
    static const int erro = [] {
        WSADATA dados;
        return WSAStartup(MAKEWORD(2, 2), &dados);
    }();
    if (erro != 0)
        ErroSocket(erro, TextoDoErroWindows(erro), "WSAStartup");
}

} // namespace

std::string EnderecoLocal() {
    IniciaWinsock();
    char nome[256] = {};
    if (::gethostname(nome, sizeof nome - 1) != 0)
        ErroWinsock("gethostname");
    const hostent* maquina = ::gethostbyname(nome);
    if (!maquina || maquina->h_addrtype != AF_INET || !maquina->h_addr_list[0])
        ErroWinsock("gethostbyname");
    return EmPontos(maquina->h_addr_list[0]);
}

#else

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
    std::string endereco = EmPontos(&reinterpret_cast<sockaddr_in*>(lista->ai_addr)->sin_addr);
    ::freeaddrinfo(lista);
    return endereco;
}

#endif
