#include "report/ClassImpressao.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/Caminho.h"
#include "platform/Erro.h"
#include "platform/Programa.h"
#include "platform/Texto.h"
#include "report/util2.h"

namespace {

// The characters of a text from a position counted from 1, at most n of them; a position
// below 1 counts as 1, one beyond the end gives nothing.
std::string Copia(const std::string& s, int posicao, int n) {
    if (posicao < 1)
        posicao = 1;
    if (n <= 0 || posicao > static_cast<int>(s.size()))
        return std::string();
    return s.substr(static_cast<size_t>(posicao - 1), static_cast<size_t>(n));
}

// A plain block seen through the same operations as the paginated list.
struct TBloco {
    TLinhas& linhas;

    int Count() const { return static_cast<int>(linhas.size()); }
    const std::string& Get(int indice) const { return LinhaNoIndice(linhas, indice); }
    void Put(int indice, std::string linha) {
        LinhaNoIndice(linhas, indice);
        linhas[static_cast<size_t>(indice)] = std::move(linha);
    }
    int Add(const std::string& linha) {
        linhas.push_back(linha);
        return Count() - 1;
    }
};

// Places a text at a column of a line of the block (-1: a new line at the end), padding a
// line shorter than the column with blanks to column + 1 characters and keeping whatever the
// line holds beyond the text. Returns the number of lines of the block.
template <typename Lista>
int Posiciona(Lista& bloco, const std::string& texto, int coluna, int linha) {
    int indice;
    if (linha == -1) {
        indice = bloco.Add(std::string());
    } else {
        while (bloco.Count() < linha)
            bloco.Add(std::string());
        indice = linha - 1;
    }
    std::string atual = bloco.Get(indice);
    if (static_cast<int>(atual.size()) < coluna)
        atual.resize(static_cast<size_t>(coluna) + 1, ' ');
    std::string nova = Copia(atual, 1, coluna - 1);
    nova += texto;
    nova += Copia(atual, coluna + static_cast<int>(texto.size()), INT_MAX);
    bloco.Put(indice, std::move(nova));
    return bloco.Count();
}

} // namespace

const std::string& LinhaNoIndice(const TLinhas& linhas, int indice) {
    if (indice < 0 || indice >= static_cast<int>(linhas.size()))
        throw EErro(Formata("List index out of bounds (%s)", {std::to_string(indice)}));
    return linhas[static_cast<size_t>(indice)];
}

void SalvaLinhas(const TLinhas& linhas, const std::string& nomeArquivo) {
    std::FILE* arquivo = std::fopen(nomeArquivo.c_str(), "wb");
    if (!arquivo) {
        int codigo = errno;
        throw EErro(Formata("Cannot create file \"%s\". %s",
                            {CaminhoMostrado(nomeArquivo), MensagemDoSistema(codigo)}));
    }
    std::vector<char> buffer(1 << 16);
    std::setvbuf(arquivo, buffer.data(), _IOFBF, buffer.size());
    bool ok = true;
    for (const std::string& linha : linhas) {
        if (std::fwrite(linha.data(), 1, linha.size(), arquivo) != linha.size() ||
            std::fwrite("\r\n", 1, 2, arquivo) != 2) {
            ok = false;
            break;
        }
    }
    int codigo = ok ? 0 : errno;
    if (std::fclose(arquivo) != 0 && ok) {
        ok = false;
        codigo = errno;
    }
    if (!ok)
        throw EErro(Formata("Cannot write file \"%s\". %s",
                            {CaminhoMostrado(nomeArquivo), MensagemDoSistema(codigo)}));
}

// ---------------------------------------------------------------------------------------------
// TRelatorio

TRelatorio::TRelatorio(const TFormatSettings& formato, TRelogio relogio)
    : formato_(formato), relogio_(relogio) {}

int TRelatorio::Add(const std::string& linha) {
    if (linhas_.empty() && ImprimeDataHora_) {
        // The report opens with an empty line of its own, not counted, and the first
        // date/time-and-page line, which is.
        linhas_.push_back("\r\n");
        Add(LinhaDataHora());
    }
    linhas_.push_back(linha);
    int indice = Count() - 1;
    // The line that finds the page full stays at its foot and the break follows it. While a
    // break is being made no other one starts: with a page no longer than what a break adds
    // by itself, every line then simply gets a page of its own instead of breaking forever.
    if (!quebrando_ && ContaLinhas_ >= LinhasPorPagina_)
        QuebraPagina();
    ++ContaLinhas_;
    return indice;
}

void TRelatorio::AddStrings(const TLinhas& bloco) {
    for (const std::string& linha : bloco)
        Add(linha);
}

void TRelatorio::AddBloco(const TLinhas* bloco) {
    if (bloco && !bloco->empty())
        AddStrings(*bloco);
}

void TRelatorio::QuebraPagina() {
    struct TMarca {
        bool& valor;
        bool antes;
        ~TMarca() { valor = antes; }
    } marca{quebrando_, quebrando_};
    quebrando_ = true;

    ContaLinhas_ = 0;
    Add("\f");
    ++NumeroPagina_;
    if (ImprimeDataHora_)
        Add(LinhaDataHora());
    if (RepeteCabecalho_)
        AddBloco(Cabecalho_);
    if (RepeteTitulo_)
        AddBloco(Titulo_);
}

std::string TRelatorio::LinhaDataHora() const {
    TDataHora agora = relogio_();
    char dataHora[64];
    std::snprintf(dataHora, sizeof dataHora, "%02d%c%02d%c%04d %02d%c%02d", agora.Data.Dia,
                  formato_.DateSeparator, agora.Data.Mes, formato_.DateSeparator, agora.Data.Ano,
                  agora.Hora, formato_.TimeSeparator, agora.Minuto);
    std::string linha = "  Data/Hora ";
    linha += dataHora;
    linha += TImpres::CompletaEsquerda("Pagina " + std::to_string(NumeroPagina_),
                                       IfThen(Largura_ == 0, 100, Largura_ - 26), " ");
    return linha;
}

void TRelatorio::Put(int indice, std::string linha) {
    LinhaNoIndice(linhas_, indice);
    linhas_[static_cast<size_t>(indice)] = std::move(linha);
}

// ---------------------------------------------------------------------------------------------
// TImpres

TImpres::TImpres(const TFormatSettings& formato, TRelogio relogio)
    : formato_(formato), relogio_(relogio) {}

TImpres::~TImpres() = default;

const TLinhas& TImpres::Corpo() const {
    return Relatorio_ ? Relatorio_->Linhas() : Corpo_;
}

int TImpres::AddTitulo(const std::string& texto, int coluna, int linha) {
    TBloco bloco{Titulo_};
    return Posiciona(bloco, texto, coluna, linha);
}

int TImpres::AddLinha(const std::string& texto, int coluna, int linha) {
    // Once paginated, the body is the paginated list, and new lines pass through its Add.
    if (Relatorio_)
        return Posiciona(*Relatorio_, texto, coluna, linha);
    TBloco bloco{Corpo_};
    return Posiciona(bloco, texto, coluna, linha);
}

int TImpres::AddSeparador(const std::string& caractere, int largura) {
    return AddLinha(CompletaDireita(caractere, largura, caractere), 3, -1);
}

std::string TImpres::Centraliza(const std::string& texto, int largura,
                                const std::string& preenchimento) {
    std::string resultado = texto;
    if (static_cast<int>(resultado.size()) > largura)
        resultado.resize(largura > 0 ? static_cast<size_t>(largura) : 0);
    if (preenchimento.empty())
        return resultado; // nothing to fill with
    while (static_cast<int>(resultado.size()) < largura) {
        if (resultado.size() % 2 == 1)
            resultado.insert(0, preenchimento);
        else
            resultado += preenchimento;
    }
    return resultado;
}

std::string TImpres::CompletaDireita(const std::string& texto, int largura,
                                     const std::string& preenchimento) {
    std::string resultado = texto;
    for (int i = static_cast<int>(texto.size()); i < largura; ++i)
        resultado += preenchimento;
    return resultado;
}

std::string TImpres::CompletaEsquerda(const std::string& texto, int largura,
                                      const std::string& preenchimento) {
    std::string resultado;
    for (int i = static_cast<int>(texto.size()); i < largura; ++i)
        resultado += preenchimento;
    resultado += texto;
    return resultado;
}

void TImpres::MontaPaginas() {
    auto relatorio = std::make_unique<TRelatorio>(formato_, relogio_);
    relatorio->ImprimeDataHora(ImprimeDataHora_);
    relatorio->LinhasPorPagina(LinhasPorPagina_);
    relatorio->RepeteCabecalho(RepeteCabecalho_);
    relatorio->RepeteTitulo(RepeteTitulo_);
    relatorio->Largura(Largura_);
    relatorio->Cabecalho(&Cabecalho_);
    relatorio->Titulo(&Titulo_);

    // Both blocks head the first page whatever the repeat settings say.
    if (!Cabecalho_.empty())
        relatorio->AddStrings(Cabecalho_);
    if (!Titulo_.empty())
        relatorio->AddStrings(Titulo_);

    for (const std::string& linha : Corpo()) {
        auto avanco = linha.find('\f');
        if (avanco == std::string::npos) {
            relatorio->Add(linha);
            continue;
        }
        // A form feed in a body line forces a page break; the rest of the line follows it
        // unless it is only blanks and control characters.
        relatorio->QuebraPagina();
        std::string resto = linha;
        resto.erase(avanco, 1);
        if (!Trim(resto).empty())
            relatorio->Add(resto);
    }

    Relatorio_ = std::move(relatorio);
    TLinhas().swap(Corpo_);
}

void TImpres::Grava(const std::string& nomeArquivo) {
    MontaPaginas();
    SalvaLinhas(Corpo(), nomeArquivo);
}

bool TImpres::Visualiza(const std::string& nomeArquivo) {
    Grava(nomeArquivo);
    // A name with a blank is put between quotes, so that the viewer gets it as one argument
    // ("Relatorio.txt", the window's, stands as it is).
    return WinExec("visualizador.exe " + ArgumentoNaLinhaDeComando(nomeArquivo) + " 132",
                   JanelaMaximizada);
}
