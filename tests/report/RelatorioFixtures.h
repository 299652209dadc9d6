#pragma once
// What the report tests share: a fixed clock, the saved bytes of entries, the date line,
// and the import's report built with its own layout beside the pages it must give.
#include "import/RelatorioAusentes.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using TEntradas = std::vector<std::string>;

inline TDataHora RelogioFixo() {
    return {{2026, 3, 7}, 9, 5, 42};
}
inline const std::string DataHoraFixa = "07/03/2026 09:05";

// What a saved report holds: every entry followed by CR LF.
inline std::string Bytes(const TEntradas& entradas) {
    std::string bytes;
    for (const auto& e : entradas)
        bytes += e + "\r\n";
    return bytes;
}

// The date/time-and-page line: the words, the date and time, the page text right-aligned in
// its field.
inline std::string LinhaData(int pagina, int campo = 100,
                             const std::string& dataHora = DataHoraFixa) {
    std::string texto = "Pagina " + std::to_string(pagina);
    std::string linha = "  Data/Hora " + dataHora;
    if (static_cast<int>(texto.size()) < campo)
        linha += std::string(campo - texto.size(), ' ');
    return linha + texto;
}

inline TImpres NovoRelatorio() {
    return TImpres(TFormatSettings::BrasilPadrao(), RelogioFixo);
}

// Restores the current folder when it goes.
class TPastaAtual {
public:
    explicit TPastaAtual(const std::filesystem::path& nova)
        : antes_(std::filesystem::current_path()) {
        std::filesystem::current_path(nova);
    }
    ~TPastaAtual() { std::filesystem::current_path(antes_); }

private:
    std::filesystem::path antes_;
};

// ---- The import's report ---------------------------------------------------------------

inline const std::string TituloImportacao =
    "R E L A T O R I O  D E  P R O D U T O S  N A O  I M P O R T A D O S";
inline const std::string Legenda =
    "        BARRAS    DESCRICAO                                               PRECO";

struct TProduto {
    std::string Barras, Descricao, Preco;
};

inline TProduto ProdutoAusente(int i) {
    return {std::to_string(7891000000000LL + i),
            "A\xC7\xDA"
            "CAR CRISTAL " +
                std::to_string(i),
            std::to_string(i % 100) + ",99"};
}

// The product's line as it must stand in the report, its columns counted out by hand.
inline std::string LinhaProduto(int i) {
    TProduto p = ProdutoAusente(i);
    p.Descricao.resize(50, ' ');
    return " " + p.Barras + "    " + p.Descricao + " " + std::string(10 - p.Preco.size(), ' ') +
           p.Preco;
}

inline std::string LinhaTotal(int produtos) {
    return "Total Produtos n\xE3o importados: " + AgrupaMilhares(std::to_string(produtos), '.');
}

// Builds the report with the import's own layout.
inline void MontaComoAImportacao(TImpres& r, int produtos) {
    RelatorioAusentes::Titulos(r);
    std::string linha;
    for (int i = 1; i <= produtos; ++i) {
        TProduto p = ProdutoAusente(i);
        RelatorioAusentes::LinhaProduto(linha, p.Barras, p.Descricao, p.Preco);
        r.AddLinha(linha, 3, -1);
    }
    RelatorioAusentes::Total(r, produtos, '.');
}

inline TEntradas TitulosEsperados() {
    return {"  " + std::string(30, ' ') + TituloImportacao + std::string(30, ' '),
            "  " + std::string(127, '-'), "  " + Legenda, "  " + std::string(127, '-')};
}

// The layout of the import's report: page 1 holds up to 62 body lines, every later page up
// to 60; a page that fills up is followed by a new one, even after the last line.
inline std::vector<TEntradas> PaginasEsperadas(int produtos) {
    TEntradas corpo;
    for (int i = 1; i <= produtos; ++i)
        corpo.push_back("  " + LinhaProduto(i));
    corpo.push_back("  " + std::string(127, '-'));
    corpo.push_back("  " + LinhaTotal(produtos));

    std::vector<TEntradas> paginas;
    size_t proxima = 0;
    bool cheia = true;
    while (proxima < corpo.size() || cheia) {
        int numero = static_cast<int>(paginas.size()) + 1;
        size_t capacidade = numero == 1 ? 62 : 60;
        TEntradas pagina{numero == 1 ? "\r\n" : "\f", LinhaData(numero)};
        for (const auto& t : TitulosEsperados())
            pagina.push_back(t);
        size_t fim = std::min(corpo.size(), proxima + capacidade);
        pagina.insert(pagina.end(), corpo.begin() + static_cast<long>(proxima),
                      corpo.begin() + static_cast<long>(fim));
        cheia = fim - proxima == capacidade;
        proxima = fim;
        paginas.push_back(pagina);
    }
    return paginas;
}

// The saved file cut at its form-feed lines.
inline std::vector<std::string> CortaPaginas(const std::string& bytes) {
    std::vector<std::string> paginas;
    size_t inicio = 0;
    for (;;) {
        size_t avanco = bytes.find("\f\r\n", inicio);
        paginas.push_back(bytes.substr(inicio, avanco - inicio));
        if (avanco == std::string::npos)
            return paginas;
        inicio = avanco + 3;
    }
}
