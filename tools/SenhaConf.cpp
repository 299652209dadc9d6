#include "tools/SenhaConf.h"

#include "platform/Descritor.h"
#include "platform/Terminal.h"
#include "tools/MensagensConf.h"

#include <cerrno>

namespace {

bool LeTudo(int fd, std::string& destino) {
    char bloco[4096];
    for (;;) {
        long n = LeDescritor(fd, bloco, sizeof bloco);
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
    MostraPergunta(T(u8"Senha: "));
    std::string senha;
    bool ok = true;
    int erro = 0;
    {
        TSemEco semEco(entrada);
        for (;;) {
            char c;
            long n = LeDescritor(entrada, &c, 1);
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
        erro = errno;
    }
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
        TDescritor arquivo(AbreParaLeitura(opcoes.ArquivoSenha));
        if (!arquivo.Aberto() || !LeTudo(arquivo.Get(), senha))
            throw EFalhaConf(T(u8"Não foi possível ler a senha do arquivo \"") +
                                 Mostravel(opcoes.ArquivoSenha) + "\": " + MotivoDoSistema(errno) +
                                 ".",
                             SaidaFalha);
    } else if (EhTerminal(entrada)) {
        return PerguntaSenha(entrada);
    } else if (!LeTudo(entrada, senha)) {
        throw EFalhaConf(T(u8"Não foi possível ler a senha da entrada padrão: ") +
                             MotivoDoSistema(errno) + ".",
                         SaidaFalha);
    }
    TiraUmFimDeLinha(senha);
    return senha;
}
