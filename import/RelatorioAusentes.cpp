// The texts of the core spell their non-ASCII characters as the \x escapes of their
// Windows-1252 bytes, so that they are the same bytes whatever the compiler's narrow encoding.
#include "import/RelatorioAusentes.h"

#include "platform/Texto.h"
#include "report/ClassImpressao.h"

namespace RelatorioAusentes {

namespace {
constexpr int Largura = 127;
constexpr const char* Titulo =
    "R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S";
constexpr const char* Colunas =
    "        BARRAS    DESCRICAO                                               PRECO";

void Coluna(std::string& texto, const std::string& preenchida, size_t largura) {
    texto.append(std::string_view(preenchida).substr(0, largura));
}
} // namespace

void Titulos(TImpres& r) {
    r.RepeteTitulo(true);
    r.AddTitulo(TImpres::Centraliza(Titulo, Largura, " "), 3, -1);
    r.AddTitulo(TImpres::CompletaDireita("-", Largura, "-"), 3, -1);
    r.AddTitulo(Colunas, 3, -1);
    r.AddTitulo(TImpres::CompletaDireita("-", Largura, "-"), 3, -1);
}

void LinhaProduto(std::string& texto, const std::string& barras, const std::string& descricao,
                  const std::string& preco) {
    static const std::string zero = "0", branco = " ";
    texto.assign(" ");
    Coluna(texto, TImpres::CompletaEsquerda(barras, 13, zero), 13);
    texto.append("    ");
    Coluna(texto, TImpres::CompletaDireita(descricao, 50, branco), 50);
    texto.append(" ");
    Coluna(texto, TImpres::CompletaEsquerda(preco, 10, branco), 10);
}

void Total(TImpres& r, int naoImportados, char separadorMilhares) {
    r.AddSeparador("-", Largura);
    r.AddLinha("Total Produtos n\xE3o importados: " +
                   AgrupaMilhares(std::to_string(naoImportados), separadorMilhares),
               3, -1);
}

} // namespace RelatorioAusentes
