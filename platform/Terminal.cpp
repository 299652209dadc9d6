#include "platform/Terminal.h"

#include "platform/Descritor.h"

#include <cerrno>
#include <fcntl.h>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

bool EhTerminal(int fd) {
#if defined(_WIN32)
    return ::_isatty(fd) != 0;
#else
    return ::isatty(fd) != 0;
#endif
}

int AbreParaLeitura(const std::string& caminho) {
#if defined(_WIN32)
    return ::_open(caminho.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
#else
    return ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC);
#endif
}

long LeDescritor(int fd, char* destino, unsigned n) {
#if defined(_WIN32)
    return ::_read(fd, destino, n);
#else
    return static_cast<long>(::read(fd, destino, n));
#endif
}

void MostraPergunta(std::string_view texto) {
#if defined(_WIN32)
    // The console itself, even when standard error goes to a file.
    HANDLE console =
        CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE destino = console != INVALID_HANDLE_VALUE ? console : GetStdHandle(STD_ERROR_HANDLE);
    DWORD escrito = 0;
    WriteFile(destino, texto.data(), static_cast<DWORD>(texto.size()), &escrito, nullptr);
    if (console != INVALID_HANDLE_VALUE)
        CloseHandle(console);
#else
    TDescritor tty(::open("/dev/tty", O_WRONLY | O_CLOEXEC));
    int aviso = tty.Aberto() ? tty.Get() : STDERR_FILENO;
    ssize_t escrito = ::write(aviso, texto.data(), texto.size());
    (void)escrito;
#endif
}

TSemEco::TSemEco(int entrada) : entrada_(entrada) {
#if defined(_WIN32)
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(entrada_));
    DWORD modo = 0;
    mudou_ = GetConsoleMode(h, &modo) != 0;
    if (mudou_) {
        antes_ = modo;
        SetConsoleMode(h, modo & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    }
#else
    termios atual{};
    mudou_ = ::tcgetattr(entrada_, &atual) == 0;
    if (mudou_) {
        antes_ = atual.c_lflag;
        atual.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        atual.c_lflag |= ECHONL; // the Enter still moves to the next line
        ::tcsetattr(entrada_, TCSAFLUSH, &atual);
    }
#endif
}

TSemEco::~TSemEco() {
    if (!mudou_)
        return;
    int erro = errno; // the caller's reason for a failed read survives the restore
#if defined(_WIN32)
    SetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(entrada_)),
                   static_cast<DWORD>(antes_));
#else
    termios atual{};
    if (::tcgetattr(entrada_, &atual) == 0) {
        atual.c_lflag = static_cast<tcflag_t>(antes_);
        ::tcsetattr(entrada_, TCSAFLUSH, &atual);
    }
#endif
    errno = erro;
}
