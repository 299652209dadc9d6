#include "viewer/ArgumentosVisualizador.h"

#include "viewer/PaginasRelatorio.h"

#include <charconv>

namespace {

[[noreturn]] void Falha(const QString& mensagem) {
    throw EFalhaVisualizador(mensagem + QStringLiteral(u"\n\nUso: visualizador <arquivo do "
                                                       u"relatório> [número de colunas]"),
                             SaidaArgumentosInvalidos);
}

int LeColunas(const std::string& texto) {
    int valor = 0;
    const char* fim = texto.data() + texto.size();
    auto [p, erro] = std::from_chars(texto.data(), fim, valor);
    bool soDigitos = !texto.empty() && texto.find_first_not_of("0123456789") == std::string::npos;
    if (!soDigitos || erro != std::errc() || p != fim || valor < 1 || valor > ColunasMaximo)
        Falha(QStringLiteral(u"Número de colunas inválido: \"%1\". Informe um número inteiro "
                             u"de 1 a %2.")
                  .arg(NomeParaUsuario(texto))
                  .arg(ColunasMaximo));
    return valor;
}

} // namespace

TArgumentosVisualizador LeArgumentos(const std::vector<std::string>& argumentos) {
    if (argumentos.empty() || (argumentos.size() == 1 && argumentos[0].empty()))
        Falha(QStringLiteral(u"Informe o arquivo do relatório a mostrar."));
    TArgumentosVisualizador lidos;
    if (argumentos.size() == 1) {
        lidos.Arquivo = argumentos[0];
        lidos.Colunas = ColunasPadrao;
        return lidos;
    }
    for (std::size_t i = 0; i + 1 < argumentos.size(); ++i)
        lidos.Arquivo += (i ? " " : "") + argumentos[i];
    if (lidos.Arquivo.empty())
        Falha(QStringLiteral(u"Informe o arquivo do relatório a mostrar."));
    lidos.Colunas = LeColunas(argumentos.back());
    return lidos;
}
