// The report builder with any texts, columns, lines and settings. Every placement puts the text
// at its column and keeps the rest of the line; a line that addresses nothing fails and changes
// nothing; the text operations fill to the width; and the paginated report holds the heading
// blocks and then every body line in order, with nothing between them but page breaks, each
// made of its form feed, its date/time-and-page line and the repeated blocks, after exactly a
// full page unless a form feed of the body forced it.
#include "FuzzSupport.h"
#include "platform/Erro.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

TDataHora Relogio() {
    return {{2026, 12, 9}, 17, 5, 30};
}

std::string LinhaDataHora(int pagina, int largura) {
    std::string pag = "Pagina " + std::to_string(pagina);
    int campo = largura == 0 ? 100 : largura - 26;
    std::string linha = "  Data/Hora 09/12/2026 17:05";
    if (campo > static_cast<int>(pag.size()))
        linha.append(static_cast<std::size_t>(campo) - pag.size(), ' ');
    return linha + pag;
}

std::string SemAvanco(std::string t) {
    for (char& c : t)
        if (c == '\f')
            c = 'F';
    return t;
}

// Places the text through the operation and checks the block before and after.
template <typename Operacao>
void Coloca(const TLinhas& bloco, Operacao operacao, const std::string& texto, int coluna,
            int linha) {
    const TLinhas antes = bloco;
    int resultado;
    try {
        resultado = operacao(texto, coluna, linha);
    } catch (const EErro& e) {
        CONFERE(linha == 0 || linha < -1);
        CONFERE(e.Message().rfind("List index out of bounds", 0) == 0);
        CONFERE(bloco == antes);
        return;
    }
    CONFERE(linha == -1 || linha >= 1);
    const std::size_t indice = linha == -1 ? antes.size() : static_cast<std::size_t>(linha - 1);
    CONFERE(bloco.size() == std::max(antes.size(), indice + 1));
    CONFERE(resultado == static_cast<int>(bloco.size()));
    for (std::size_t k = 0; k < bloco.size(); ++k) {
        if (k == indice)
            continue;
        CONFERE(bloco[k] == (k < antes.size() ? antes[k] : std::string()));
    }
    if (coluna < 1)
        return; // columns below 1 keep no promise but not to fail
    std::string velha = indice < antes.size() ? antes[indice] : std::string();
    if (velha.size() < static_cast<std::size_t>(coluna))
        velha.resize(static_cast<std::size_t>(coluna) + 1, ' ');
    const std::string& nova = bloco[indice];
    const std::size_t c = static_cast<std::size_t>(coluna) - 1;
    CONFERE(nova.compare(0, c, velha, 0, c) == 0);
    CONFERE(nova.compare(c, texto.size(), texto) == 0);
    const std::string cauda = velha.size() > c + texto.size() ? velha.substr(c + texto.size()) : "";
    CONFERE(nova.size() == c + texto.size() + cauda.size());
    CONFERE(nova.compare(c + texto.size(), std::string::npos, cauda) == 0);
}

void ConfereTextos(const std::string& texto, int largura, const std::string& f) {
    const std::size_t n = texto.size();
    const std::size_t falta = largura > static_cast<int>(n) ? largura - n : 0;
    CONFERE(TImpres::CompletaDireita(texto, largura, f) == texto + std::string(falta, f[0]));
    CONFERE(TImpres::CompletaEsquerda(texto, largura, f) == std::string(falta, f[0]) + texto);
    const std::string c = TImpres::Centraliza(texto, largura, f);
    const std::size_t w = largura > 0 ? static_cast<std::size_t>(largura) : 0;
    if (n >= w) {
        CONFERE(c == texto.substr(0, w));
        return;
    }
    // The fill alternates sides, starting on the right of an even-length text.
    const std::size_t extra = w - n;
    const std::size_t esquerda = n % 2 == 0 ? extra / 2 : (extra + 1) / 2;
    CONFERE(c == std::string(esquerda, f[0]) + texto + std::string(extra - esquerda, f[0]));
}

struct TItem {
    bool quebra; // a page break forced by a form feed of the body
    std::string linha;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    TLeitorFuzz leitor(dados, tamanho);
    TImpres impres(TFormatSettings::BrasilPadrao(), Relogio);
    const bool dataHora = leitor.Bool();
    const bool repeteTitulo = leitor.Bool();
    const bool repeteCabecalho = leitor.Bool();
    const int porPagina = leitor.Int(-2, 90);
    const int largura = leitor.Int(-5, 200);
    impres.ImprimeDataHora(dataHora);
    impres.RepeteTitulo(repeteTitulo);
    impres.RepeteCabecalho(repeteCabecalho);
    impres.LinhasPorPagina(porPagina);
    impres.Largura(largura);

    for (int passo = 0; passo < 80 && !leitor.Vazio(); ++passo) {
        const int op = leitor.Byte() % 7;
        const int coluna = leitor.Int(-2, 140);
        const int linha = leitor.Bool() ? -1 : leitor.Int(-3, 30);
        std::string texto = leitor.Texto(160);
        auto titulo = [&](const std::string& t, int c, int l) { return impres.AddTitulo(t, c, l); };
        auto corpo = [&](const std::string& t, int c, int l) { return impres.AddLinha(t, c, l); };
        switch (op) {
        case 0: // column titles hold no form feed here, so that every form feed is a break
            Coloca(impres.Titulo(), titulo, SemAvanco(texto), coluna, linha);
            break;
        case 1:
        case 2:
            Coloca(impres.Corpo(), corpo, texto, coluna, linha);
            break;
        case 3: {
            const TLinhas antes = impres.Corpo();
            std::string c = texto.empty() ? std::string("-") : texto.substr(0, 1);
            int n = impres.AddSeparador(c, coluna);
            CONFERE(n == static_cast<int>(antes.size()) + 1);
            // At column 3 of a new line: two blanks, the rule, and a blank after a rule of one.
            const std::string regua = TImpres::CompletaDireita(c, coluna, c);
            CONFERE(impres.Corpo().back() == "  " + regua + (regua.size() < 2 ? " " : ""));
            break;
        }
        case 4:
            impres.Cabecalho().push_back(SemAvanco(texto));
            break;
        case 5: // a form feed somewhere in a body line
            texto.insert(static_cast<std::size_t>(coluna + 2) % (texto.size() + 1), 1, '\f');
            Coloca(impres.Corpo(), corpo, texto, 1, linha);
            break;
        case 6:
            ConfereTextos(texto, largura, texto.empty() ? std::string(" ") : texto.substr(0, 1));
            break;
        }
    }

    const TLinhas cabecalho = impres.Cabecalho();
    const TLinhas titulos = impres.Titulo();
    std::vector<TItem> esperados;
    for (const auto& l : cabecalho)
        esperados.push_back({false, l});
    for (const auto& l : titulos)
        esperados.push_back({false, l});
    for (const auto& l : impres.Corpo()) {
        auto avanco = l.find('\f');
        if (avanco == std::string::npos) {
            esperados.push_back({false, l});
            continue;
        }
        esperados.push_back({true, {}});
        std::string resto = l;
        resto.erase(avanco, 1);
        if (!Trim(resto).empty())
            esperados.push_back({false, resto});
    }

    impres.MontaPaginas();
    const TLinhas& saida = impres.Corpo();
    CONFERE(impres.Titulo() == titulos);
    CONFERE(impres.Cabecalho() == cabecalho);

    const std::size_t bloco = 1 + (dataHora ? 1 : 0) + (repeteCabecalho ? cabecalho.size() : 0) +
                              (repeteTitulo ? titulos.size() : 0);
    if (porPagina <= static_cast<int>(bloco)) {
        // Pages too short for their own break: no promise about the breaks, but every line is
        // there in order and the pass ends.
        std::size_t e = 0;
        for (const auto& l : saida)
            if (e < esperados.size() && esperados[e].quebra)
                ++e;
            else if (e < esperados.size() && l == esperados[e].linha)
                ++e;
        while (e < esperados.size() && esperados[e].quebra)
            ++e;
        CONFERE(e == esperados.size());
        return 0;
    }

    const std::size_t L = static_cast<std::size_t>(porPagina);
    std::size_t i = 0;
    if (saida.empty()) {
        CONFERE(esperados.empty());
        return 0;
    }
    if (dataHora) {
        CONFERE(saida.size() >= 2 && saida[0] == "\r\n" && saida[1] == LinhaDataHora(1, largura));
        i = 2;
    }
    // A full page: the first holds one counted entry more (and the uncounted CR LF), as does a
    // page begun by a forced break.
    std::size_t cheia = L + 1 + (dataHora ? 1 : 0);
    std::size_t inicioPagina = 0;
    int pagina = 1;
    std::size_t e = 0;
    while (i < saida.size()) {
        if (saida[i] == "\f") {
            const std::size_t tamanhoPagina = i - inicioPagina;
            const bool automatica = tamanhoPagina == cheia;
            // A break forced while the report was still empty adds the first page's date line
            // itself, after the counter was cleared: that line counts on the new page.
            const bool primeiraVazia = dataHora && inicioPagina == 0 && tamanhoPagina == 2;
            if (!automatica) {
                CONFERE(tamanhoPagina < cheia);
                CONFERE(e < esperados.size() && esperados[e].quebra);
                ++e;
            }
            inicioPagina = i;
            ++i;
            ++pagina;
            if (dataHora) {
                CONFERE(i < saida.size() && saida[i] == LinhaDataHora(pagina, largura));
                ++i;
            }
            if (repeteCabecalho)
                for (const auto& l : cabecalho)
                    CONFERE(i < saida.size() && saida[i++] == l);
            if (repeteTitulo)
                for (const auto& l : titulos)
                    CONFERE(i < saida.size() && saida[i++] == l);
            cheia = automatica || primeiraVazia ? L : L + 1;
            continue;
        }
        CONFERE(e < esperados.size() && !esperados[e].quebra && saida[i] == esperados[e].linha);
        ++e;
        ++i;
    }
    CONFERE(e == esperados.size());
    CONFERE(saida.size() - inicioPagina < cheia); // a full last page would have broken
    return 0;
}
