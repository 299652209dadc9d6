// Reading a file whole.
#include "platform/LeituraArquivo.h"

#include "platform/Caminho.h"
#include "platform/Erro.h"
#include "platform/Texto.h"

#include <algorithm>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

[[noreturn]] void FalhaAoAbrir(const std::string& caminho, const std::string& motivo) {
    throw EErro(Formata("Cannot open file \"%s\". %s", {CaminhoParaTexto(caminho), motivo}));
}

} // namespace

#if defined(_WIN32)

TArquivoLeitura::TArquivoLeitura(const std::string& nomeArquivo)
    : caminho_(::CaminhoCompleto(nomeArquivo)) {
    HANDLE h =
        CreateFileA(nomeArquivo.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        FalhaAoAbrir(caminho_, TextoDoErroWindows(GetLastError()));
    handle_ = h;
    LARGE_INTEGER tamanho;
    if (GetFileSizeEx(h, &tamanho) && tamanho.QuadPart > 0)
        tamanho_ = static_cast<std::size_t>(tamanho.QuadPart);
}

TArquivoLeitura::~TArquivoLeitura() {
    CloseHandle(static_cast<HANDLE>(handle_));
}

std::size_t TArquivoLeitura::Le(char* destino, std::size_t n) {
    DWORD pedidos = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    DWORD lidos = 0;
    if (!ReadFile(static_cast<HANDLE>(handle_), destino, pedidos, &lidos, nullptr))
        FalhaAoAbrir(caminho_, TextoDoErroWindows(GetLastError()));
    return lidos;
}

#else

TArquivoLeitura::TArquivoLeitura(const std::string& nomeArquivo)
    : caminho_(::CaminhoCompleto(nomeArquivo)) {
    int fd;
    do
        fd = ::open(nomeArquivo.c_str(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        FalhaAoAbrir(caminho_, MensagemDoSistema(errno));
    struct stat info;
    int codigo = 0;
    if (::fstat(fd, &info) != 0)
        codigo = errno;
    else if (S_ISDIR(info.st_mode))
        codigo = EISDIR; // a directory opens on POSIX, but it is not a file to read
    if (codigo != 0) {
        ::close(fd);
        FalhaAoAbrir(caminho_, MensagemDoSistema(codigo));
    }
    fd_ = fd;
    if (S_ISREG(info.st_mode) && info.st_size > 0)
        tamanho_ = static_cast<std::size_t>(info.st_size);
}

TArquivoLeitura::~TArquivoLeitura() {
    ::close(fd_);
}

std::size_t TArquivoLeitura::Le(char* destino, std::size_t n) {
    for (;;) {
        ssize_t lidos = ::read(fd_, destino, std::min<std::size_t>(n, 1u << 30));
        if (lidos >= 0)
            return static_cast<std::size_t>(lidos);
        if (errno != EINTR)
            FalhaAoAbrir(caminho_, MensagemDoSistema(errno));
    }
}

#endif

std::string LerArquivoInteiro(const std::string& nomeArquivo) {
    TArquivoLeitura arquivo(nomeArquivo);
    // One byte more than the size, so that the read that finds the end needs no more room.
    std::string texto(arquivo.Tamanho() + 1, '\0');
    std::size_t lidos = 0;
    for (;;) {
        if (lidos == texto.size())
            texto.resize(texto.size() + std::max<std::size_t>(texto.size() / 2, 1 << 16));
        std::size_t n = arquivo.Le(texto.data() + lidos, texto.size() - lidos);
        if (n == 0)
            break;
        lidos += n;
    }
    texto.resize(lidos);
    return texto;
}
