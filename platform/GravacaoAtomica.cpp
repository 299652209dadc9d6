#include "platform/GravacaoAtomica.h"

#include "platform/Descritor.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

[[noreturn]] void FalhaDoSistema(int erro) {
    throw std::system_error(erro, std::generic_category());
}

#if defined(_WIN32)
// The C runtime's descriptors: no fsync, no umask to read, no mkstemp.
constexpr int Binario = _O_BINARY;
int Escreve(int fd, const char* dados, unsigned n) {
    return ::_write(fd, dados, n);
}
int Sincroniza(int fd) {
    return ::_commit(fd);
}
unsigned ModoSemMascara(unsigned modo) {
    return modo;
}
// The C runtime's rename does not replace; MoveFileEx replaces the old file in one step, so a
// crash leaves either the old file or the new one.
int Renomeia(const std::string& de, const std::string& para) {
    if (MoveFileExA(de.c_str(), para.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category());
}
#else
constexpr int Binario = 0;
ssize_t Escreve(int fd, const char* dados, size_t n) {
    return ::write(fd, dados, n);
}
int Sincroniza(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL ? 0 : -1; // EINVAL: a file that cannot sync
}
unsigned ModoSemMascara(unsigned modo) {
    mode_t mascara = ::umask(0);
    ::umask(mascara);
    return modo & ~static_cast<unsigned>(mascara);
}
int Renomeia(const std::string& de, const std::string& para) {
    return std::rename(de.c_str(), para.c_str());
}
#endif

// Writes all of the text and has it reach the disk before the file is closed.
void EscreveTudo(int fd, std::string_view texto) {
    size_t feito = 0;
    while (feito < texto.size()) {
        auto n = Escreve(fd, texto.data() + feito, static_cast<unsigned>(texto.size() - feito));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            FalhaDoSistema(n == 0 ? EIO : errno);
        feito += static_cast<size_t>(n);
    }
    if (Sincroniza(fd) != 0)
        FalhaDoSistema(errno);
}

void EscreveEFecha(TDescritor& arquivo, std::string_view texto) {
    EscreveTudo(arquivo.Get(), texto);
    if (int erro = arquivo.Fecha())
        FalhaDoSistema(erro);
}

// A new, empty file beside the path, under a name of its own.
TDescritor Temporario(const std::string& caminho, std::string& nome) {
    for (unsigned tentativa = 0;; ++tentativa) {
        nome = caminho + ".novo" + std::to_string(tentativa);
        int fd = ::open(nome.c_str(), O_WRONLY | O_CREAT | O_EXCL | Binario, 0600);
        if (fd >= 0)
            return TDescritor(fd);
        if (errno != EEXIST || tentativa == 99)
            FalhaDoSistema(errno);
    }
}

} // namespace

void GravaArquivoNovo(const std::string& caminho, std::string_view texto, unsigned modo) {
    TDescritor arquivo(::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | Binario, modo));
    if (!arquivo.Aberto())
        FalhaDoSistema(errno);
    try {
        EscreveEFecha(arquivo, texto);
    } catch (...) {
        std::remove(caminho.c_str());
        throw;
    }
}

void SubstituiArquivo(const std::string& caminho, std::string_view texto, unsigned modo) {
    std::string nome;
    TDescritor arquivo = Temporario(caminho, nome);
    try {
        struct stat antigo {};
        bool existia = ::stat(caminho.c_str(), &antigo) == 0;
#if !defined(_WIN32)
        if (existia && ::fchown(arquivo.Get(), static_cast<uid_t>(-1), antigo.st_gid) != 0 &&
            errno != EPERM)
            FalhaDoSistema(errno);
        if (::fchmod(arquivo.Get(), existia ? (antigo.st_mode & 07777) : ModoSemMascara(modo)) != 0)
            FalhaDoSistema(errno);
#else
        // Windows files carry no owner group nor mode bits to keep.
        (void)existia;
        (void)modo;
        (void)ModoSemMascara;
#endif
        EscreveEFecha(arquivo, texto);
        if (Renomeia(nome, caminho) != 0)
            FalhaDoSistema(errno);
    } catch (...) {
        std::remove(nome.c_str());
        throw;
    }
}
