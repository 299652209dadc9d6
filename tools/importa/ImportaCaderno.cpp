#include "tools/importa/ImportaCaderno.h"

#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "connection/Inicio.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "import/ImportaOfertas.h"
#include "import/OfertaArquivo.h"
#include "platform/Caminho.h"
#include "platform/Console.h"
#include "platform/Erro.h"
#include "platform/PedidoParada.h"
#include "platform/RegionalSistema.h"
#include "platform/Windows1252.h"
#include "tools/importa/JanelaConsole.h"
#include "tools/importa/ResumoImporta.h"

#include <filesystem>
#include <ostream>

namespace {

using Etapa = TAndamentoImportacao::Etapa;

// The connection settings and the identification are read once a run of the program; they are
// let go when the command ends, so that a caller in the same process starts afresh.
struct TSessaoConexao {
    ~TSessaoConexao() {
        TIdentificacaoServidor::Liberar();
        TConnectionInfo::Liberar();
    }
};

void Diz(std::ostream& erros, const std::string& texto) {
    erros << "importa-caderno: " << TextoParaConsole(texto) << '\n' << std::flush;
}

// The lines as the window's file choice loads them; a file that is not there is left to the
// run's own check, which names it as the window does.
void CarregaArquivo(const std::string& arquivo, ImportWindow& janela) {
    std::error_code erro;
    if (std::filesystem::is_regular_file(arquivo, erro))
        CarregaLinhas(arquivo, janela.Linhas);
}

// What a failure part-way means for what stays written.
std::string FalhaNoMeio(const EErro& e, const TContextoImportacao& ctx,
                        const std::string& arquivo) {
    const TAndamentoImportacao& a = ctx.Andamento;
    std::string onde;
    switch (a.Atual) {
    case Etapa::CadOferta:
        onde = "Falha ao gravar o caderno";
        break;
    case Etapa::Linhas:
        onde = "Falha na linha " + std::to_string(a.Linha + 1) + " do arquivo " +
               ArgumentoParaTexto(arquivo);
        break;
    default:
        onde = "Falha ao gravar o relatório " + ArgumentoParaTexto(ctx.NomeRelatorio);
    }
    std::string texto = onde + ": " + e.Message();
    if (a.CadOfertasId)
        texto += "\nO caderno " + std::to_string(*a.CadOfertasId) +
                 " e as linhas anteriores do arquivo ficam gravados.";
    return texto;
}

TResumoImporta Resumo(const TOpcoesImporta& o, const ImportWindow& janela,
                      const TContextoImportacao& ctx) {
    const TAndamentoImportacao& a = ctx.Andamento;
    TResumoImporta r;
    r.Arquivo = CaminhoParaUtf8(o.Arquivo);
    r.Verificacao = o.Verificar;
    r.Linhas = janela.Linhas.empty() ? 0 : janela.Linhas.size() - 1;
    r.Encontrados = a.Encontrados;
    r.NaoEncontrados = a.NaoEncontrados;
    r.Processadas = static_cast<size_t>(a.Encontrados + a.NaoEncontrados);
    r.CadOfertas = a.CadOfertasId;
    if (a.RelatorioGravado) {
        r.Relatorio = CaminhoParaUtf8(CaminhoCompleto(ctx.NomeRelatorio));
    }
    r.Parado = a.Atual == Etapa::Parada;
    return r;
}

void Relata(const TOpcoesImporta& o, const TResumoImporta& r, std::ostream& saida) {
    if (o.Json)
        saida << ResumoJson(r);
    else
        saida << TextoParaConsole(ResumoTexto(r));
    saida << std::flush;
}

class TComando {
public:
    TComando(const TOpcoesImporta& opcoes, std::ostream& saida, std::ostream& erros, bool progresso)
        : o_(opcoes), saida_(saida), erros_(erros), janela_(opcoes, erros, progresso) {}

    int Executa(const TFormatSettings& formato);

private:
    void UsaConf() const;
    // The run, and the exit code of how it ended.
    int Importa(TContextoImportacao& ctx);

    const TOpcoesImporta& o_;
    std::ostream& saida_;
    std::ostream& erros_;
    TJanelaConsole janela_;
};

void TComando::UsaConf() const {
    if (o_.Conf.empty())
        return;
    // Named on purpose, so a missing one is a mistake, not a store without settings.
    std::error_code erro;
    if (!std::filesystem::is_regular_file(o_.Conf, erro))
        throw EErro("O arquivo de configuração \"" + ArgumentoParaTexto(o_.Conf) +
                    "\" não existe.");
    TConnectionInfo::UsaArquivo(o_.Conf);
}

int TComando::Executa(const TFormatSettings& formato) {
    TSessaoConexao sessao;
    UsaConf();
    CarregaArquivo(o_.Arquivo, janela_);
    // The window's data module: the same connection, settings and handles.
    TMyConnection conexao;
    ConfiguraConexaoPrincipal(conexao);
    const std::string codLoja = PreparaConexao(conexao);
    conexao.Connect();
    TMyQuery qTemp("QTemp", conexao);
    TMyQuery qProd("QProd", conexao);

    TContextoImportacao ctx{qTemp, qProd, codLoja, formato};
    ctx.NomeRelatorio = o_.Relatorio;
    ctx.SoVerificar = o_.Verificar;
    ctx.IniciaVisualizador = o_.Mostrar;
    return Importa(ctx);
}

int TComando::Importa(TContextoImportacao& ctx) {
    TPedidoParada parada;
    janela_.VigiaParada(&parada);
    try {
        ImportaOfertas(janela_, ctx);
    } catch (const EAbort&) {
        return SaidaRecusada; // the run has told why
    } catch (const EErro& e) {
        janela_.EncerraProgresso();
        Diz(erros_, FalhaNoMeio(e, ctx, o_.Arquivo));
        TResumoImporta r = Resumo(o_, janela_, ctx);
        r.Erro = ParaUtf8(e.Message());
        Relata(o_, r, saida_);
        return SaidaFalhou;
    }
    if (ctx.Andamento.Atual == Etapa::Entradas)
        return SaidaRecusada; // nothing to import: the run said so
    Relata(o_, Resumo(o_, janela_, ctx), saida_);
    return ctx.Andamento.Atual == Etapa::Parada ? SaidaParada : SaidaConcluida;
}

} // namespace

int ImportaCaderno(const std::vector<std::string>& argumentos, std::ostream& saida,
                   std::ostream& erros, bool progresso) {
    try {
        const TFormatSettings formato = RegionalDoUsuario();
        const TOpcoesImporta opcoes = LeOpcoesImporta(argumentos, formato);
        if (opcoes.Ajuda) {
            saida << TextoParaConsole(TextoAjudaImporta()) << std::flush;
            return SaidaConcluida;
        }
        return TComando(opcoes, saida, erros, progresso).Executa(formato);
    } catch (const EErro& e) {
        // Bad usage, an unreadable offer file, or a start-up that failed before anything
        // was written.
        Diz(erros, e.Message());
        return SaidaRecusada;
    }
}
