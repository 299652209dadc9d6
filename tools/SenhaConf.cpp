#include "tools/SenhaConf.h"

#include "platform/Descritor.h"
#include "tools/MensagensConf.h"

#include <cerrno>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool LeTudo(int fd, std::string& destino) {
    char bloco[4096];
    for (;;) {
        ssize_t n = ::read(fd, bloco, sizeof bloco);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        destino.append(bloco, static_cast<size_t>(n));
        if (destino.size() > 1024 * 1024) {
            errno = EFBIG;
            return false;
        }
    }
}

void TiraUmFimDeLinha(std::string& texto) {
    if (!texto.empty() && texto.back() == '\n') {
        texto.pop_back();
        if (!texto.empty() && texto.back() == '\r')
            texto.pop_back();
    }
}

// Asks for the password at the terminal with the echo off, and reads one line.
std::string PerguntaSenha(int entrada) {
    TDescritor tty(::open("/dev/tty", O_WRONLY | O_CLOEXEC));
    int aviso = tty.Aberto() ? tty.Get() : STDERR_FILENO;
    const std::string pergunta = T(u8"Senha: ");
    ssize_t escrito = ::write(aviso, pergunta.data(), pergunta.size());
    (void)escrito;
    termios antes{};
    bool mudou = ::tcgetattr(entrada, &antes) == 0;
    if (mudou) {
        termios sem = antes;
        sem.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        sem.c_lflag |= ECHONL;
        ::tcsetattr(entrada, TCSAFLUSH, &sem);
    }
    std::string senha;
    bool ok = true;
    for (;;) {
        char c;
        ssize_t n = ::read(entrada, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        if (c == '\n')
            break;
        senha += c;
    }
    int erro = errno;
    if (mudou)
        ::tcsetattr(entrada, TCSAFLUSH, &antes);
    if (!ok)
        throw EFalhaConf(T(u8"Não foi possível ler a senha do terminal: ") + MotivoDoSistema(erro),
                         SaidaFalha);
    if (!senha.empty() && senha.back() == '\r')
        senha.pop_back();
    return senha;
}

} // namespace

std::string LeSenha(const TOpcoesConf& opcoes, int entrada) {
    std::string senha;
    if (opcoes.OrigemSenha == TOrigemSenha::Arquivo) {
        TDescritor arquivo(::open(opcoes.ArquivoSenha.c_str(), O_RDONLY | O_CLOEXEC));
        if (!arquivo.Aberto() || !LeTudo(arquivo.Get(), senha))
            throw EFalhaConf(T(u8"Não foi possível ler a senha do arquivo \"") +
                                 Mostravel(opcoes.ArquivoSenha) + "\": " + MotivoDoSistema(errno) +
                                 ".",
                             SaidaFalha);
    } else if (::isatty(entrada)) {
        return PerguntaSenha(entrada);
    } else if (!LeTudo(entrada, senha)) {
        throw EFalhaConf(T(u8"Não foi possível ler a senha da entrada padrão: ") +
                             MotivoDoSistema(errno) + ".",
                         SaidaFalha);
    }
    TiraUmFimDeLinha(senha);
    return senha;
}
