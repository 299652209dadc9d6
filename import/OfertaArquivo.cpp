#include "import/OfertaArquivo.h"

#include "platform/Erro.h"
#include "platform/LeituraArquivo.h"
#include "platform/Windows1252.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

// The characters at which a line ends: NUL, LF and CR.
constexpr std::array<bool, 256> TabelaFimDeLinha = [] {
    std::array<bool, 256> t{};
    t[0] = true;
    t['\n'] = true;
    t['\r'] = true;
    return t;
}();

inline const char* ProximoFimDeLinha(const char* p, const char* fim) {
    while (p < fim && !TabelaFimDeLinha[static_cast<unsigned char>(*p)])
        ++p;
    return p;
}

// The file is read in blocks of this size, so that the whole file never sits in memory beside
// its lines.
constexpr std::size_t TamanhoBloco = std::size_t{1} << 20;

// UTF-8's byte-order mark, with which a text saved as UTF-8 may open.
constexpr std::string_view MarcaUtf8 = "\xEF\xBB\xBF";

} // namespace

void TDivisorLinhas::AcrescentaALinhaAberta(std::string_view parte) {
    if (utf8_)
        linhaUtf8_.append(parte);
    else
        linhas_.AcrescentaALinhaAberta(parte);
}

bool TDivisorLinhas::LinhaAbertaVazia() const {
    return utf8_ ? linhaUtf8_.empty() : linhas_.LinhaAbertaVazia();
}

void TDivisorLinhas::FechaLinha() {
    if (utf8_) {
        // Line ends and NUL are ASCII: no sequence of a line runs into the next.
        linhas_.push_back(DeUtf8(linhaUtf8_));
        linhaUtf8_.clear();
    } else {
        linhas_.FechaLinha();
    }
}

bool TDivisorLinhas::Acrescenta(std::string_view bloco) {
    if (terminou_)
        return false;
    if (!inicioVisto_) {
        // The mark's bytes are held until the third one, or a byte that is not the mark's.
        while (!bloco.empty() && inicio_.size() < MarcaUtf8.size() &&
               bloco.front() == MarcaUtf8[inicio_.size()]) {
            inicio_ += bloco.front();
            bloco.remove_prefix(1);
        }
        if (inicio_.size() < MarcaUtf8.size() && bloco.empty())
            return true;
        inicioVisto_ = true;
        utf8_ = inicio_.size() == MarcaUtf8.size();
        if (!utf8_)
            Divide(inicio_); // the mark's first bytes alone: no line end, no NUL among them
        inicio_.clear();
    }
    return Divide(bloco);
}

bool TDivisorLinhas::Divide(std::string_view bloco) {
    const char* p = bloco.data();
    const char* const fim = p + bloco.size();
    if (aposCR_ && p < fim) {
        // The CR that ended the last block's line may be followed by its LF here.
        aposCR_ = false;
        if (*p == '\n')
            ++p;
    }
    while (p < fim) {
        if (*p == '\0' && LinhaAbertaVazia()) {
            // A NUL where a line would begin ends the text without a line.
            terminou_ = true;
            linhaDoNul_ = linhas_.size() + 1;
            return false;
        }
        const char* q = ProximoFimDeLinha(p, fim);
        AcrescentaALinhaAberta({p, static_cast<std::size_t>(q - p)});
        if (q == fim)
            break;
        FechaLinha();
        if (*q == '\0') {
            terminou_ = true;
            linhaDoNul_ = linhas_.size();
            return false;
        }
        if (*q == '\r') {
            ++q;
            if (q == fim) {
                aposCR_ = true;
                break;
            }
        }
        if (*q == '\n')
            ++q;
        p = q;
    }
    return true;
}

void TDivisorLinhas::Termina() {
    if (!inicioVisto_) {
        // A text shorter than the mark, or the mark cut short: bytes as they stand.
        inicioVisto_ = true;
        Divide(inicio_);
        inicio_.clear();
    }
    if (!LinhaAbertaVazia())
        FechaLinha();
    terminou_ = true;
}

TLinhasArquivo DivideLinhas(std::string_view texto) {
    TLinhasArquivo linhas;
    TDivisorLinhas divisor(linhas);
    divisor.Acrescenta(texto);
    divisor.Termina();
    return linhas;
}

void CarregaLinhas(const std::string& nomeArquivo, TLinhasArquivo& linhas) {
    linhas.clear();

    TArquivoLeitura arquivo(nomeArquivo);
    const std::size_t tamanho = arquivo.Tamanho();
    // A small file is read in one go; one byte more lets that read see the end of the file.
    const std::size_t capacidadeBloco =
        std::min(TamanhoBloco, std::max(tamanho + 1, std::size_t{1} << 16));
    auto bloco = std::make_unique_for_overwrite<char[]>(capacidadeBloco);

    // The lines' bytes never outgrow the file; their count is reckoned from the first block's,
    // and a little more, so that neither part is copied as it grows.
    TLinhasArquivo lidas;
    lidas.reserve(0, tamanho);
    TDivisorLinhas divisor(lidas);
    bool primeiro = true;
    for (;;) {
        std::size_t n = arquivo.Le(bloco.get(), capacidadeBloco);
        if (n == 0 || !divisor.Acrescenta({bloco.get(), n}))
            break;
        if (primeiro && n < tamanho && !lidas.empty()) {
            double estimativa = static_cast<double>(lidas.size()) * static_cast<double>(tamanho) /
                                static_cast<double>(n) * 1.03;
            lidas.reserve(std::min(tamanho, static_cast<std::size_t>(estimativa) + 16), tamanho);
        }
        primeiro = false;
    }
    if (divisor.LinhaDoNul() != 0)
        throw EErro("O arquivo escolhido n\xE3o \xE9 um arquivo de texto: a linha " +
                    std::to_string(divisor.LinhaDoNul()) +
                    " cont\xE9m um caractere nulo. Salve a planilha como texto separado por "
                    "\";\" e escolha o arquivo novamente.");
    divisor.Termina();
    linhas = std::move(lidas);
}
