// The texts of the core spell their non-ASCII characters as the \x escapes of their
// Windows-1252 bytes, so that they are the same bytes whatever the compiler's narrow encoding.
#include "import/ImportaOfertas.h"

#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "import/ImportWindow.h"
#include "import/LinhaOferta.h"
#include "import/Preco.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"

#include <cstdio>
#include <filesystem>

ImportWindow::~ImportWindow() = default;

namespace ComandosImportacao {

std::string InsereCadOferta(const std::string& nome, const std::string& registro,
                            const std::string& inicio, const std::string& fim,
                            const std::string& loja) {
    return "insert into cadofertas (descricao, dtcadastro, data1, data2, lojas_leram) values (\"" +
           nome + "\", \"" + registro + "\", \"" + inicio + "\", \"" + fim + "\", \"" + loja +
           "\")";
}

std::string BuscaProduto(const std::string& barras13) {
    return "select * from produto where barras = \"" + barras13 +
           "\" and apagado <> \"S\" and tipo <> \"I\"";
}

std::string BuscaBarras(const std::string& barras13) {
    return "select * from barras where barras = \"" + barras13 + "\" and apagado <> \"S\"";
}

std::string BuscaLigacao(const std::string& cadofertasId, const std::string& produtoId) {
    return "select * from prodcadofertas where cadofertas_id = " + cadofertasId +
           " and produto_id = " + produtoId;
}

std::string InsereLigacao(const std::string& cadofertasId, const std::string& produtoId,
                          const std::string& loja, const std::string& preco) {
    return "insert into prodcadofertas (cadofertas_id, produto_id, lojas_leram, pre_promo) "
           "values (\"" +
           cadofertasId + "\", \"" + produtoId + "\", \"" + loja + "\", \"" + preco + "\")";
}

std::string ReativaLigacao(const std::string& loja, const std::string& cadofertasId,
                           const std::string& produtoId) {
    return "update prodcadofertas set apagado = \"N\", lojas_leram = \"" + loja +
           "\" where cadofertas_id = " + cadofertasId + " and produto_id = " + produtoId;
}

std::string AtualizaProduto(const std::string& inicio, const std::string& fim,
                            const std::string* preco, const std::string& loja,
                            const std::string& produtoId) {
    std::string s =
        "update produto set dtiniciopromocao = \"" + inicio + "\", valid_pro = \"" + fim + "\"";
    if (preco)
        s += ", preco_pro = " + *preco;
    return s + ", lojas_leram = \"" + loja + "\" where produto_id = " + produtoId;
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

constexpr const char* Titulo =
    "R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S";
constexpr const char* Colunas =
    "        BARRAS    DESCRICAO                                               PRECO";

// One run: the window, the handles and what the run keeps between its steps.
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
    void ImportaLinha(const std::string& linha);
    void LigaProduto(const TLinhaOferta& oferta, const std::string& produtoId);
    void Conclui();
    void Restaura();

    // A value made safe to stand between double quotes.
    std::string Aspas(const std::string& valor) {
        return ctx_.QTemp.Connection().EscapaTextoAspasDuplas(valor);
    }

    ImportWindow& janela_;
    TContextoImportacao& ctx_;
    std::string cadofertasId_;
    int naoEncontrados_ = 0;
    bool faltouProduto_ = false;
};

void TExecucao::Recusa(const char* mensagem, ImportWindow::Controle foco) {
    janela_.Mensagem(mensagem);
    janela_.Foca(foco);
    Abort();
}

bool TExecucao::Precondicoes() {
    using C = ImportWindow::Controle;
    std::string arquivo = Trim(janela_.TextoArquivo());
    if (arquivo.empty())
        Recusa("Selecione um arquivo para a importa\xE7\xE3o.", C::txtArquivo);
    std::error_code erro;
    if (!std::filesystem::is_regular_file(arquivo, erro))
        Recusa("O arquivo n\xE3o existe.", C::txtArquivo);
    if (Trim(janela_.TextoCadOferta()).empty())
        Recusa("Defina um nome para o caderno de oferta.", C::txtCadOferta);
    if (janela_.DataFim() < janela_.DataInicio())
        Recusa("A data do in\xED"
               "cio da promo\xE7\xE3o n\xE3o pode ser maior que a data do t\xE9rmino da "
               "promo\xE7\xE3o.",
               C::dtInicio);
    if (janela_.Linhas.empty()) {
        janela_.Mensagem("N\xE3o existem dados para serem importados.");
        janela_.Foca(C::txtArquivo);
        return false;
    }
    return true;
}

void TExecucao::GravaCadOferta() {
    std::string nome = Trim(janela_.TextoCadOferta());
    std::string registro = TextoRegistro(ctx_.Relogio(), ctx_.Formato.TimeSeparator);
    ctx_.QTemp.SetSQL(InsereCadOferta(Aspas(nome), registro, janela_.DataInicio().ParaAAAAMMDD(),
                                      janela_.DataFim().ParaAAAAMMDD(), Aspas(janela_.CodLoja)));
    ctx_.QTemp.Execute();
    ctx_.QTemp.SetSQL("SELECT LAST_INSERT_ID()");
    ctx_.QTemp.Open();
    cadofertasId_ = std::to_string(ctx_.QTemp.Fields(0).AsInteger());
}

void TExecucao::PreparaRelatorio() {
    janela_.Relatorio = std::make_unique<TImpres>(ctx_.Formato, ctx_.Relogio);
    TImpres& r = *janela_.Relatorio;
    r.RepeteTitulo(true);
    r.AddTitulo(TImpres::Centraliza(Titulo, 127, " "), 3, -1);
    r.AddTitulo(TImpres::CompletaDireita("-", 127, "-"), 3, -1);
    r.AddTitulo(Colunas, 3, -1);
    r.AddTitulo(TImpres::CompletaDireita("-", 127, "-"), 3, -1);
    naoEncontrados_ = 0;
}

void TExecucao::ImportaLinha(const std::string& linha) {
    TLinhaOferta oferta = LerLinhaOferta(linha, ctx_.Formato);
    std::string barras13 = Aspas(NormalizaBarras(oferta.Barras));
    TMyQuery& prod = ctx_.QProd;
    prod.SetSQL(BuscaProduto(barras13));
    prod.Open();
    if (prod.IsEmpty()) {
        prod.SetSQL(BuscaBarras(barras13));
        prod.Open();
    }
    if (prod.IsEmpty()) {
        faltouProduto_ = true;
        std::string texto =
            " " + TImpres::CompletaEsquerda(oferta.Barras, 13, "0").substr(0, 13) + "    " +
            TImpres::CompletaDireita(oferta.Descricao, 50, " ").substr(0, 50) + " " +
            TImpres::CompletaEsquerda(PrecoParaRelatorio(oferta.Preco, ctx_.Formato), 10, " ")
                .substr(0, 10);
        janela_.Relatorio->AddLinha(texto, 3, -1);
        ++naoEncontrados_;
        return;
    }
    LigaProduto(oferta, prod.FieldByName("produto_id").AsString());
}

void TExecucao::LigaProduto(const TLinhaOferta& oferta, const std::string& produtoId) {
    TMyQuery& temp = ctx_.QTemp;
    std::string loja = Aspas(janela_.CodLoja);
    std::string preco = PrecoParaSQL(oferta.Preco);
    temp.SetSQL(BuscaLigacao(cadofertasId_, produtoId));
    temp.Open();
    if (temp.IsEmpty())
        temp.SetSQL(InsereLigacao(cadofertasId_, Aspas(produtoId), loja, preco));
    else
        temp.SetSQL(ReativaLigacao(loja, cadofertasId_, produtoId));
    temp.Execute();
    // The check box and the dates are read anew for every product: a change made during the
    // run applies to the products that follow.
    bool comPreco = janela_.PromocaoMarcada();
    temp.SetSQL(AtualizaProduto(janela_.DataInicio().ParaAAAAMMDD(),
                                janela_.DataFim().ParaAAAAMMDD(), comPreco ? &preco : nullptr, loja,
                                produtoId));
    temp.Execute();
}

void TExecucao::Restaura() {
    janela_.DefineDescricao("");
    janela_.ZeraProgresso();
    janela_.HabilitaImportar(true);
}

void TExecucao::Conclui() {
    if (faltouProduto_) {
        TImpres& r = *janela_.Relatorio;
        r.AddSeparador("-", 127);
        r.AddLinha(
            "Total Produtos n\xE3o importados: " +
                AgrupaMilhares(std::to_string(naoEncontrados_), ctx_.Formato.ThousandSeparator),
            3, -1);
        r.Visualiza(ctx_.NomeRelatorio);
    }
    janela_.Relatorio.reset();
    Restaura();
    janela_.Parar = "S";
    janela_.Mensagem("Importa\xE7\xE3o conclu\xED"
                     "da com sucesso!!!");
}

void TExecucao::Executa() {
    if (!Precondicoes())
        return;
    janela_.Parar = "N";
    janela_.HabilitaImportar(false);
    janela_.DefineDescricao("Importando os dados. Aguarde...");
    janela_.ProcessaMensagens();

    GravaCadOferta();
    PreparaRelatorio();

    const size_t n = janela_.Linhas.size();
    for (size_t i = 1; i < n; ++i) {
        if (janela_.Parar == "S") {
            Restaura(); // the report is abandoned unsaved, and nothing is said
            return;
        }
        if (i >= janela_.Linhas.size())
            break; // never read past the list the window holds now
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
