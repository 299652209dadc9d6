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
#include "platform/Texto.h"
#include "platform/Windows1252.h"
#include "tools/importa/JanelaConsole.h"
#include "tools/importa/Lojas.h"
#include "tools/importa/ResumoImporta.h"

#include <filesystem>
#include <optional>
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
    if (ExisteArquivo(arquivo))
        CarregaLinhas(arquivo, janela.Linhas);
}

// What a failure part-way means for what stays written.
std::string FalhaNoMeio(const std::string& mensagem, const TContextoImportacao& ctx,
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
    std::string texto = onde + ": " + mensagem;
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

// The store's answer to whether it already holds a booklet of this name and dates: one
// read-only statement on the main connection, before anything is written.
std::optional<TResumoImporta::TJaTem> JaTemCaderno(TMyQuery& consulta, const TOpcoesImporta& o) {
    TMyConnection& conexao = consulta.Connection();
    const std::string nome = Trim(o.Nome); // as the run writes it
    consulta.SetSQL("select c.cadofertas_id, (select count(*) from prodcadofertas p where "
                    "p.cadofertas_id = c.cadofertas_id) from cadofertas c where c.descricao = \"" +
                    conexao.EscapaTextoAspasDuplas(nome) + "\" and c.data1 = \"" +
                    o.Inicio.ParaAAAAMMDD() + "\" and c.data2 = \"" + o.Fim.ParaAAAAMMDD() +
                    "\" order by c.cadofertas_id desc limit 1");
    consulta.Open();
    std::optional<TResumoImporta::TJaTem> tem;
    if (!consulta.IsEmpty())
        tem =
            TResumoImporta::TJaTem{consulta.Fields(0).AsInteger(), consulta.Fields(1).AsInteger()};
    consulta.Close();
    return tem;
}

// An end before the run could start: the code and what is said of it.
struct ESaida {
    int Codigo;
    std::string Mensagem; // the system's text
};

class TComando {
public:
    TComando(const TOpcoesImporta& opcoes, std::ostream& erros, bool progresso)
        : o_(opcoes), erros_(erros), janela_(opcoes, erros, progresso) {}

    // The exit code; resumo_ what is told of it.
    int Executa(const TFormatSettings& formato);
    TResumoImporta& Resumo() { return resumo_; }

private:
    void UsaConf() const;
    // The run, and the exit code of how it ended.
    int Importa(TContextoImportacao& ctx);
    // Ends before anything is written: told on standard error and in the summary.
    int Termina(int codigo, const std::string& mensagem);

    const TOpcoesImporta& o_;
    std::ostream& erros_;
    TJanelaConsole janela_;
    TResumoImporta resumo_;
};

void TComando::UsaConf() const {
    if (o_.Conf.empty())
        return;
    // Named on purpose, so a missing one is a mistake, not a store without settings.
    if (!ExisteArquivo(o_.Conf))
        throw EErro("O arquivo de configura\xE7\xE3o \"" + ArgumentoParaTexto(o_.Conf) +
                    "\" n\xE3o existe.");
    TConnectionInfo::UsaArquivo(o_.Conf);
}

int TComando::Termina(int codigo, const std::string& mensagem) {
    janela_.EncerraProgresso();
    if (!mensagem.empty()) {
        Diz(erros_, mensagem);
        resumo_.Erro = ParaUtf8(mensagem);
    }
    return codigo;
}

int TComando::Executa(const TFormatSettings& formato) {
    TSessaoConexao sessao;
    resumo_.Arquivo = CaminhoParaUtf8(o_.Arquivo);
    resumo_.Verificacao = o_.Verificar;
    // Refused before anything is tried: the settings' file, the report's path, the offer file
    // and the inputs the run would refuse (with the run's own messages).
    try {
        UsaConf();
        if (ExistePasta(o_.Relatorio))
            throw EErro("O relat\xF3rio \"" + ArgumentoParaTexto(o_.Relatorio) +
                        "\" \xE9 uma pasta, n\xE3o um arquivo.");
        CarregaArquivo(o_.Arquivo, janela_);
        resumo_.Linhas = janela_.Linhas.empty() ? 0 : janela_.Linhas.size() - 1;
        if (!EntradasDaImportacao(janela_)) {
            resumo_.Erro = ParaUtf8(janela_.UltimaMensagem()); // told by the check
            return SaidaRecusada;
        }
        TConnectionInfo::GetInstance(); // read now: a file that cannot be read is refused
    } catch (const EAbort&) {
        resumo_.Erro = ParaUtf8(janela_.UltimaMensagem());
        return SaidaRecusada;
    } catch (const EErro& e) {
        return Termina(SaidaRecusada, e.Message());
    }

    // From here on, a Ctrl+C or SIGTERM is a request to stop, taken between two steps.
    TPedidoParada parada;
    janela_.VigiaParada(&parada);

    // The window's data module: the same connection, settings and handles. A store that cannot
    // be reached, refuses the login or whose identification fails has nothing written: 4.
    TMyConnection conexao;
    ConfiguraConexaoPrincipal(conexao);
    std::string codLoja;
    try {
        codLoja = PreparaConexao(conexao);
        resumo_.Loja = ParaUtf8(codLoja);
        resumo_.Filial = TIdentificacaoServidor::GetInstance().GetFilialId();
        conexao.Connect();
    } catch (const EErro& e) {
        return Termina(SaidaInacessivel, e.Message());
    }
    TMyQuery qTemp("QTemp", conexao);
    TMyQuery qProd("QProd", conexao);

    if (o_.PularSeJaTem && !o_.Verificar) {
        try {
            resumo_.JaTem = JaTemCaderno(qTemp, o_);
        } catch (const EErro& e) {
            return Termina(SaidaInacessivel, e.Message());
        }
        if (resumo_.JaTem) {
            Diz(erros_, "A loja j\xE1 tem o caderno " + std::to_string(resumo_.JaTem->CadOfertas) +
                            " (" + std::to_string(resumo_.JaTem->Produtos) +
                            " produtos): nada foi gravado.");
            return SaidaConcluida;
        }
    }
    if (parada.Pedido()) {
        resumo_.Parado = true;
        return Termina(SaidaParada, "Interrompido antes de gravar o caderno: nada foi gravado.");
    }

    TContextoImportacao ctx{qTemp, qProd, codLoja, formato};
    ctx.NomeRelatorio = o_.Relatorio;
    ctx.SoVerificar = o_.Verificar;
    ctx.IniciaVisualizador = o_.Mostrar;
    return Importa(ctx);
}

int TComando::Importa(TContextoImportacao& ctx) {
    const auto conta = [&] {
        TResumoImporta r = ::Resumo(o_, janela_, ctx);
        r.JaTem = resumo_.JaTem;
        r.Loja = resumo_.Loja;
        r.Filial = resumo_.Filial;
        resumo_ = r;
    };
    const auto falha = [&](const std::string& mensagem) {
        janela_.EncerraProgresso();
        Diz(erros_, FalhaNoMeio(mensagem, ctx, o_.Arquivo));
        conta();
        resumo_.Erro = ParaUtf8(mensagem);
        if (ctx.Andamento.Atual == Etapa::Linhas)
            resumo_.Linha = ctx.Andamento.Linha + 1;
        return SaidaFalhou;
    };
    try {
        ImportaOfertas(janela_, ctx);
    } catch (const EAbort&) {
        resumo_.Erro = ParaUtf8(janela_.UltimaMensagem());
        return SaidaRecusada; // the run has told why
    } catch (const EParadaAntesDoCaderno&) {
        conta();
        resumo_.Parado = true;
        return Termina(SaidaParada, "Interrompido antes de gravar o caderno: nada foi gravado.");
    } catch (const EErro& e) {
        return falha(e.Message());
    } catch (const std::exception& e) {
        return falha(std::string("Erro inesperado: ") + e.what());
    } catch (...) {
        return falha("Erro inesperado.");
    }
    if (ctx.Andamento.Atual == Etapa::Entradas) {
        resumo_.Erro = ParaUtf8(janela_.UltimaMensagem());
        return SaidaRecusada; // nothing to import: the run said so
    }
    conta();
    return ctx.Andamento.Atual == Etapa::Parada ? SaidaParada : SaidaConcluida;
}

// Writes the summary; a standard output that takes none of it makes the command fail.
int Relata(bool json, const TResumoImporta& r, bool texto, std::ostream& saida, std::ostream& erros,
           int codigo) {
    if (json)
        saida << ResumoJson(r);
    else if (texto)
        saida << TextoParaConsole(ResumoTexto(r));
    saida << std::flush;
    if (saida)
        return codigo;
    Diz(erros, "N\xE3o foi poss\xEDvel escrever na sa\xED"
               "da padr\xE3o.");
    return SaidaFalhou;
}

} // namespace

int ImportaCaderno(const std::vector<std::string>& argumentos, std::ostream& saida,
                   std::ostream& erros, bool progresso) {
    const bool json = PedeJson(argumentos);
    TResumoImporta resumo;
    int codigo = SaidaRecusada;
    bool conta = false; // whether the run got far enough for a summary for people
    try {
        const TFormatSettings formato = RegionalDoUsuario();
        const TOpcoesImporta opcoes = LeOpcoesImporta(argumentos, formato);
        if (opcoes.Ajuda) {
            if (json) {
                resumo.Saida = SaidaConcluida;
                saida << "{\"ajuda\": " << TextoJson(ParaUtf8(TextoAjudaImporta()))
                      << ", \"saida\": 0, \"erro\": null}\n";
            } else {
                saida << TextoParaConsole(TextoAjudaImporta());
            }
            return Relata(false, resumo, false, saida, erros, SaidaConcluida);
        }
        if (!opcoes.Lojas.empty())
            return ImportaLojas(opcoes, saida, erros, progresso);
        TComando comando(opcoes, erros, progresso);
        try {
            codigo = comando.Executa(formato);
        } catch (...) {
            resumo = comando.Resumo();
            throw;
        }
        resumo = comando.Resumo();
        conta = codigo == SaidaConcluida || codigo == SaidaFalhou || codigo == SaidaParada;
    } catch (const EErro& e) {
        // Bad usage, or an offer file that cannot be read: nothing was written.
        Diz(erros, e.Message());
        resumo.Erro = ParaUtf8(e.Message());
        codigo = SaidaRecusada;
    } catch (const std::exception& e) {
        const std::string mensagem = std::string("Erro inesperado: ") + e.what();
        Diz(erros, mensagem);
        resumo.Erro = ParaUtf8(mensagem);
        codigo = SaidaRecusada;
    } catch (...) {
        Diz(erros, "Erro inesperado.");
        resumo.Erro = "Erro inesperado.";
        codigo = SaidaRecusada;
    }
    resumo.Saida = codigo;
    return Relata(json, resumo, conta, saida, erros, codigo);
}
