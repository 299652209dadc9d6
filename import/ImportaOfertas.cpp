// The texts of the core spell their non-ASCII characters as the \x escapes of their
// Windows-1252 bytes, so that they are the same bytes whatever the compiler's narrow encoding.
#include "import/ImportaOfertas.h"

#include "db/Escape.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "import/ImportWindow.h"
#include "import/LinhaOferta.h"
#include "import/Preco.h"
#include "import/RelatorioAusentes.h"
#include "platform/Caminho.h"
#include "platform/CursorEspera.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"

#include <cstdio>
#include <memory>

ImportWindow::~ImportWindow() = default;

namespace ComandosImportacao {

namespace {
// The template's pieces, in order, as the statement's new text.
template <typename... Partes> void Monta(std::string& sql, const Partes&... partes) {
    sql.clear();
    (sql.append(partes), ...);
}
} // namespace

void InsereCadOferta(std::string& sql, std::string_view nome, std::string_view registro,
                     std::string_view inicio, std::string_view fim, std::string_view loja) {
    Monta(sql,
          "insert into cadofertas (descricao, dtcadastro, data1, data2, lojas_leram) values (\"",
          nome, "\", \"", registro, "\", \"", inicio, "\", \"", fim, "\", \"", loja, "\")");
}

void BuscaProduto(std::string& sql, std::string_view barras13) {
    Monta(sql, "select * from produto where barras = \"", barras13,
          "\" and apagado <> \"S\" and tipo <> \"I\"");
}

void BuscaBarras(std::string& sql, std::string_view barras13) {
    Monta(sql, "select * from barras where barras = \"", barras13, "\" and apagado <> \"S\"");
}

void BuscaLigacao(std::string& sql, std::string_view cadofertasId, std::string_view produtoId) {
    Monta(sql, "select * from prodcadofertas where cadofertas_id = ", cadofertasId,
          " and produto_id = ", produtoId);
}

void InsereLigacao(std::string& sql, std::string_view cadofertasId, std::string_view produtoId,
                   std::string_view loja, std::string_view preco) {
    Monta(sql,
          "insert into prodcadofertas (cadofertas_id, produto_id, lojas_leram, pre_promo) "
          "values (\"",
          cadofertasId, "\", \"", produtoId, "\", \"", loja, "\", \"", preco, "\")");
}

void ReativaLigacao(std::string& sql, std::string_view loja, std::string_view cadofertasId,
                    std::string_view produtoId) {
    Monta(sql, "update prodcadofertas set apagado = \"N\", lojas_leram = \"", loja,
          "\" where cadofertas_id = ", cadofertasId, " and produto_id = ", produtoId);
}

void AtualizaProduto(std::string& sql, std::string_view inicio, std::string_view fim,
                     const std::string* preco, std::string_view loja, std::string_view produtoId) {
    Monta(sql, "update produto set dtiniciopromocao = \"", inicio, "\", valid_pro = \"", fim, "\"");
    if (preco) {
        sql.append(", preco_pro = ");
        sql.append(*preco);
    }
    sql.append(", lojas_leram = \"");
    sql.append(loja);
    sql.append("\" where produto_id = ");
    sql.append(produtoId);
}

} // namespace ComandosImportacao

std::string TextoRegistro(const TDataHora& agora, char separadorHora) {
    char hora[16];
    std::snprintf(hora, sizeof hora, "%02d%c%02d%c%02d", agora.Hora, separadorHora, agora.Minuto,
                  separadorHora, agora.Segundo);
    return agora.Data.ParaAAAAMMDD() + " " + hora;
}

namespace {

using namespace ComandosImportacao;

// One run: the window, the handles and what the run keeps between its steps. The texts of a
// line (the statement being built, the barcode, the key) live in buffers of the run, reused
// from line to line.
class TExecucao {
public:
    TExecucao(ImportWindow& janela, TContextoImportacao& contexto)
        : janela_(janela), ctx_(contexto) {}

    void Executa();

private:
    bool Precondicoes();
    void Recusa(const char* mensagem, ImportWindow::Controle foco);
    void GravaCadOferta();
    void PreparaRelatorio();
    void ImportaLinha(std::string_view linha);
    void RelataAusente();
    void LigaProduto();
    TField ProdutoId(const TMyQuery& consulta, int& posicao);
    void Conclui();
    void Restaura();

    // A value made safe to stand between double quotes, into destino.
    void Aspas(std::string_view valor, std::string& destino) {
        if (PrecisaEscapar(valor))
            destino = ctx_.QTemp.Connection().EscapaTextoAspasDuplas(valor);
        else
            destino.assign(valor);
    }
    std::string Aspas(std::string_view valor) {
        std::string destino;
        Aspas(valor, destino);
        return destino;
    }
    // Builds the statement into sql_ and hands it to the handle.
    template <typename Montador, typename... Valores>
    void Prepara(TMyQuery& consulta, Montador montador, const Valores&... valores) {
        montador(sql_, valores...);
        consulta.SetSQL(sql_);
    }

    ImportWindow& janela_;
    TContextoImportacao& ctx_;
    std::string cadofertasId_;
    std::string loja_; // the store code made safe to quote; it does not change in a run
    // The products not found, from the booklet's record to the run's end; a stopped run leaves
    // it unsaved.
    std::unique_ptr<TImpres> relatorio_;
    int naoEncontrados_ = 0;
    bool faltouProduto_ = false;

    TLinhaOferta oferta_;
    std::string sql_;
    std::string barras13_;
    std::string produtoId_;
    std::string produtoIdAspas_;
    std::string preco_;
    std::string linhaRelatorio_;
    // Where produto_id stands in the rows of produto and of barras: looked up by name at the
    // first row of each and read by position after, as long as the name is still there.
    int posicaoProduto_ = -1;
    int posicaoBarras_ = -1;
};

void TExecucao::Recusa(const char* mensagem, ImportWindow::Controle foco) {
    janela_.Mensagem(mensagem);
    janela_.Foca(foco);
    Abort();
}

bool TExecucao::Precondicoes() {
    // Without the store's code every row written would lose the stamp the chain's other
    // systems read; the code is only derived at start, so only a restart brings it.
    if (ctx_.CodLoja.empty())
        Recusa("N\xE3o foi poss\xEDvel identificar a loja, e sem ela os dados n\xE3o podem ser "
               "importados. Corrija as configura\xE7\xF5"
               "es de conex\xE3o e abra o programa "
               "novamente.",
               ImportWindow::Controle::cmdImportar);
    return EntradasDaImportacao(janela_);
}

} // namespace

bool EntradasDaImportacao(ImportWindow& janela) {
    using C = ImportWindow::Controle;
    auto recusa = [&](const char* mensagem, C foco) {
        janela.Mensagem(mensagem);
        janela.Foca(foco);
        Abort();
    };
    std::string arquivo = Trim(janela.TextoArquivo());
    if (arquivo.empty())
        recusa("Selecione um arquivo para a importa\xE7\xE3o.", C::txtArquivo);
    if (!ExisteArquivo(arquivo))
        recusa("O arquivo n\xE3o existe.", C::txtArquivo);
    if (Trim(janela.TextoCadOferta()).empty())
        recusa("Defina um nome para o caderno de oferta.", C::txtCadOferta);
    if (janela.DataFim() < janela.DataInicio())
        recusa("A data do in\xED"
               "cio da promo\xE7\xE3o n\xE3o pode ser maior que a data do t\xE9rmino da "
               "promo\xE7\xE3o.",
               C::dtInicio);
    if (janela.Linhas.empty()) {
        janela.Mensagem("N\xE3o existem dados para serem importados.");
        janela.Foca(C::txtArquivo);
        return false;
    }
    return true;
}

namespace {

void TExecucao::GravaCadOferta() {
    std::string nome = Trim(janela_.TextoCadOferta());
    std::string registro = TextoRegistro(ctx_.Relogio(), ctx_.Formato.TimeSeparator);
    const std::string nomeAspas = Aspas(nome);
    Aspas(ctx_.CodLoja, loja_);
    TCursorEspera cursor; // up across both statements
    Prepara(ctx_.QTemp, InsereCadOferta, nomeAspas, registro, janela_.DataInicio().ParaAAAAMMDD(),
            janela_.DataFim().ParaAAAAMMDD(), loja_);
    ctx_.QTemp.Execute();
    ctx_.QTemp.SetSQL("SELECT LAST_INSERT_ID()");
    ctx_.QTemp.Open();
    const auto chave = ctx_.QTemp.Fields(0).AsInteger();
    cadofertasId_ = std::to_string(chave);
    ctx_.Andamento.CadOfertasId = chave;
}

void TExecucao::PreparaRelatorio() {
    relatorio_ = std::make_unique<TImpres>(ctx_.Formato, ctx_.Relogio);
    RelatorioAusentes::Titulos(*relatorio_);
    naoEncontrados_ = 0;
}

TField TExecucao::ProdutoId(const TMyQuery& consulta, int& posicao) {
    constexpr std::string_view nome = "produto_id";
    if (posicao < 0 || posicao >= consulta.FieldCount() ||
        consulta.Fields(posicao).FieldName() != nome) {
        posicao = consulta.FieldIndex(nome);
        if (posicao < 0)
            return consulta.FieldByName(nome); // fails with the missing field's message
    }
    return consulta.Fields(posicao);
}

void TExecucao::ImportaLinha(std::string_view linha) {
    LerLinhaOferta(linha, ctx_.Formato, oferta_);
    Aspas(NormalizaBarras(oferta_.Barras), barras13_);
    // The wait pointer stays up across the line's statements, and is restored before the
    // window processes its messages again.
    TCursorEspera cursor;
    TMyQuery& prod = ctx_.QProd;
    int* posicao = &posicaoProduto_;
    Prepara(prod, BuscaProduto, barras13_);
    prod.Open();
    if (prod.IsEmpty()) {
        Prepara(prod, BuscaBarras, barras13_);
        prod.Open();
        posicao = &posicaoBarras_;
    }
    if (prod.IsEmpty()) {
        RelataAusente();
        return;
    }
    ++ctx_.Andamento.Encontrados;
    if (ctx_.SoVerificar)
        return; // a check writes nothing
    produtoId_.assign(ProdutoId(prod, *posicao).AsStringView());
    LigaProduto();
}

void TExecucao::RelataAusente() {
    faltouProduto_ = true;
    RelatorioAusentes::LinhaProduto(linhaRelatorio_, oferta_.Barras, oferta_.Descricao,
                                    PrecoParaRelatorio(oferta_.Preco, ctx_.Formato));
    relatorio_->AddLinha(linhaRelatorio_, 3, -1);
    ++naoEncontrados_;
    ctx_.Andamento.NaoEncontrados = naoEncontrados_;
}

void TExecucao::LigaProduto() {
    TMyQuery& temp = ctx_.QTemp;
    preco_ = PrecoParaSQL(oferta_.Preco);
    Prepara(temp, BuscaLigacao, cadofertasId_, produtoId_);
    temp.Open();
    if (temp.IsEmpty()) {
        Aspas(produtoId_, produtoIdAspas_);
        Prepara(temp, InsereLigacao, cadofertasId_, produtoIdAspas_, loja_, preco_);
    } else {
        Prepara(temp, ReativaLigacao, loja_, cadofertasId_, produtoId_);
    }
    temp.Execute();
    // The check box and the dates are read anew for every product: a change made during the
    // run applies to the products that follow.
    bool comPreco = janela_.PromocaoMarcada();
    Prepara(temp, AtualizaProduto, janela_.DataInicio().ParaAAAAMMDD(),
            janela_.DataFim().ParaAAAAMMDD(), comPreco ? &preco_ : nullptr, loja_, produtoId_);
    temp.Execute();
}

void TExecucao::Restaura() {
    janela_.DefineDescricao("");
    janela_.ZeraProgresso();
    janela_.HabilitaImportar(true);
}

void TExecucao::Conclui() {
    bool viewerIniciado = true;
    if (faltouProduto_) {
        ctx_.Andamento.Atual = TAndamentoImportacao::Etapa::Relatorio;
        RelatorioAusentes::Total(*relatorio_, naoEncontrados_, ctx_.Formato.ThousandSeparator);
        if (ctx_.IniciaVisualizador) {
            viewerIniciado = relatorio_->Visualiza(ctx_.NomeRelatorio);
        } else {
            relatorio_->Grava(ctx_.NomeRelatorio);
        }
        ctx_.Andamento.RelatorioGravado = true;
    }
    ctx_.Andamento.Atual = TAndamentoImportacao::Etapa::Concluida;
    relatorio_.reset();
    Restaura();
    janela_.Parar = "S";
    if (ctx_.SoVerificar)
        janela_.Mensagem("Verifica\xE7\xE3o conclu\xED"
                         "da: nada foi gravado.");
    else
        janela_.Mensagem("Importa\xE7\xE3o conclu\xED"
                         "da com sucesso!!!");
    if (!viewerIniciado) {
        // Otherwise the user would never learn that products were left out.
        janela_.Mensagem("N\xE3o foi poss\xEDvel mostrar o relat\xF3rio dos produtos n\xE3o "
                         "importados. Ele foi gravado em " +
                         CaminhoMostrado(ctx_.NomeRelatorio));
    }
}

void TExecucao::Executa() {
    using Etapa = TAndamentoImportacao::Etapa;
    ctx_.Andamento = {};
    if (!Precondicoes())
        return;
    janela_.Parar = "N";
    janela_.HabilitaImportar(false);
    janela_.DefineDescricao("Importando os dados. Aguarde...");
    janela_.ProcessaMensagens();

    ctx_.Andamento.Atual = Etapa::CadOferta;
    if (!ctx_.SoVerificar)
        GravaCadOferta();
    PreparaRelatorio();

    ctx_.Andamento.Atual = Etapa::Linhas;
    const size_t n = janela_.Linhas.size();
    for (size_t i = 1; i < n; ++i) {
        if (janela_.Parar == "S") {
            ctx_.Andamento.Atual = Etapa::Parada;
            Restaura(); // the report is abandoned unsaved, and nothing is said
            return;
        }
        if (i >= janela_.Linhas.size())
            break; // never read past the list the window holds now
        ctx_.Andamento.Linha = i;
        ImportaLinha(janela_.Linhas[i]);
        janela_.AvancaProgresso();
        janela_.ProcessaMensagens();
    }
    Conclui();
}

} // namespace

void ImportaOfertas(ImportWindow& janela, TContextoImportacao& contexto) {
    TExecucao(janela, contexto).Executa();
}
