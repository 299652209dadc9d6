#include "viewer/PaginasRelatorio.h"

#include "platform/Texto.h"
#include "ui/Texto1252.h"

#include <QFile>

#include <algorithm>

#include <cerrno>
#include <cstdio>
#include <memory>

EFalhaVisualizador::EFalhaVisualizador(QString mensagem, int codigoSaida)
    : mensagem_(std::move(mensagem)), utf8_(mensagem_.toStdString()), codigo_(codigoSaida) {}

namespace {

// One decoded line with its columns kept: tabs expanded, control characters blanked.
QString LinhaParaTela(std::string_view bytes) {
    QString texto = ParaQString(bytes);
    if (std::none_of(texto.cbegin(), texto.cend(),
                     [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }))
        return texto;
    QString saida;
    saida.reserve(texto.size() + ColunasPorTabulacao);
    for (QChar c : texto) {
        if (c == u'\t') {
            do
                saida += u' ';
            while (saida.size() % ColunasPorTabulacao != 0);
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            saida += u' ';
        } else {
            saida += c;
        }
    }
    return saida;
}

QString MotivoDoSistema(int erro) {
    switch (erro) {
    case ENOENT:
        return QStringLiteral(u"o arquivo não existe");
    case EACCES:
    case EPERM:
        return QStringLiteral(u"sem permissão para ler o arquivo");
    case EISDIR:
        return QStringLiteral(u"o nome é de uma pasta, não de um arquivo");
    case ENOTDIR:
        return QStringLiteral(u"uma parte do caminho não é uma pasta");
    case ENAMETOOLONG:
        return QStringLiteral(u"o nome do arquivo é longo demais");
    case EFBIG:
        return QStringLiteral(u"o arquivo é grande demais para ser mostrado (mais de %1 MB)")
            .arg(TamanhoMaximoRelatorio / (1024 * 1024));
    default:
        return ParaQString(MensagemDoSistema(erro)) + QStringLiteral(u" (erro %1)").arg(erro);
    }
}

[[noreturn]] void FalhaLeitura(const std::string& arquivo, int erro) {
    throw EFalhaVisualizador(QStringLiteral(u"Não foi possível abrir o relatório \"%1\": %2")
                                 .arg(NomeParaUsuario(arquivo), MotivoDoSistema(erro)),
                             SaidaRelatorioIlegivel);
}

struct TFechaArquivo {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

QString NomeParaUsuario(const std::string& arquivo) {
    return QFile::decodeName(QByteArray::fromStdString(arquivo));
}

std::string LeArquivoRelatorio(const std::string& arquivo) {
    errno = 0;
    std::unique_ptr<std::FILE, TFechaArquivo> f(std::fopen(arquivo.c_str(), "rb"));
    if (!f)
        FalhaLeitura(arquivo, errno ? errno : ENOENT);
    std::string bytes;
    char bloco[64 * 1024];
    for (;;) {
        std::size_t lidos = std::fread(bloco, 1, sizeof bloco, f.get());
        if (lidos > 0) {
            if (bytes.size() + lidos > TamanhoMaximoRelatorio)
                FalhaLeitura(arquivo, EFBIG);
            bytes.append(bloco, lidos);
        }
        if (lidos < sizeof bloco) {
            if (std::ferror(f.get()))
                FalhaLeitura(arquivo, errno ? errno : EIO);
            break;
        }
    }
    return bytes;
}

QList<TPagina> DividePaginas(std::string_view bytes) {
    QList<TPagina> paginas(1);
    auto acrescenta = [&](std::string_view parte) { paginas.back().append(LinhaParaTela(parte)); };
    while (!bytes.empty()) {
        auto fim = bytes.find('\n');
        std::string_view linha = bytes.substr(0, fim);
        bytes = fim == std::string_view::npos ? std::string_view() : bytes.substr(fim + 1);
        if (!linha.empty() && linha.back() == '\r')
            linha.remove_suffix(1);
        auto ff = linha.find('\f');
        if (ff == std::string_view::npos) {
            acrescenta(linha);
            continue;
        }
        while (ff != std::string_view::npos) {
            if (ff > 0)
                acrescenta(linha.substr(0, ff));
            paginas.append(TPagina());
            linha.remove_prefix(ff + 1);
            ff = linha.find('\f');
        }
        if (!linha.empty())
            acrescenta(linha);
    }
    if (paginas.size() > 1 && paginas.back().isEmpty())
        paginas.removeLast();
    return paginas;
}
