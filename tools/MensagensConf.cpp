#include "tools/MensagensConf.h"

#include "platform/Console.h"
#include "platform/Texto.h"

#include <cerrno>

std::string T(std::u8string_view texto) {
    return std::string(reinterpret_cast<const char*>(texto.data()), texto.size());
}

void Uso(const std::string& mensagem) {
    throw EFalhaConf(mensagem + T(u8"\nUse --ajuda para ver as opções."), SaidaUsoInvalido);
}

std::string MotivoDoSistema(int erro) {
    switch (erro) {
    case ENOENT:
        return T(u8"não existe");
    case EACCES:
    case EPERM:
        return T(u8"permissão negada");
    case EISDIR:
        return T(u8"é uma pasta");
    case ENOTDIR:
        return T(u8"uma parte do caminho não é uma pasta");
    case EROFS:
        return T(u8"o sistema de arquivos é somente leitura");
    case ENOSPC:
        return T(u8"não há espaço no disco");
    default:
        return MensagemDoSistema(erro);
    }
}

std::string Mostravel(std::string_view valor) {
    std::string saida;
    // The value's bytes as UTF-8, as the messages are (a value that is none is read as
    // Windows-1252, as the program reads it).
    for (unsigned char c : CaminhoParaUtf8(valor))
        saida += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
    return saida;
}

EFalhaConf ArquivoExiste(const std::string& caminho) {
    return EFalhaConf(T(u8"O arquivo \"") + Mostravel(caminho) +
                          T(u8"\" já existe e não foi alterado; use --sobrescrever para "
                            u8"substituí-lo."),
                      SaidaArquivoExiste);
}
