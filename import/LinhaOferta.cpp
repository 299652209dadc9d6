#include "import/LinhaOferta.h"

#include "import/Preco.h"

namespace {

constexpr std::size_t TamanhoBarras = 13;
constexpr std::size_t Nenhum = std::string_view::npos;

} // namespace

TLinhaOferta LerLinhaOferta(std::string_view linha, const TFormatSettings& formato) {
    TLinhaOferta oferta;
    LerLinhaOferta(linha, formato, oferta);
    return oferta;
}

void LerLinhaOferta(std::string_view linha, const TFormatSettings& formato, TLinhaOferta& oferta) {
    const std::size_t s1 = linha.find(';');
    const std::size_t s2 = s1 == Nenhum ? Nenhum : linha.find(';', s1 + 1);
    const std::size_t s3 = s2 == Nenhum ? Nenhum : linha.find(';', s2 + 1);

    oferta.Barras.assign(s1 == Nenhum ? std::string_view() : linha.substr(0, s1));
    oferta.Descricao.assign(s2 == Nenhum ? std::string_view() : linha.substr(s1 + 1, s2 - s1 - 1));
    const std::string_view preco =
        s3 == Nenhum ? std::string_view() : linha.substr(s2 + 1, s3 - s2 - 1);
    oferta.Preco = TextoParaPreco(preco, formato);
}

std::string NormalizaBarras(std::string_view barras) {
    std::string normal;
    if (barras.size() < TamanhoBarras)
        normal.assign(TamanhoBarras - barras.size(), '0');
    normal.append(barras);
    return normal;
}
