#pragma once
// Plain-text reports of fixed-width lines, divided into pages by form feeds.
//
// TImpres collects the report in three blocks (page heading, column titles, body), places
// texts at character columns and offers the text operations for fixed-width columns.
// TRelatorio is the paginating line list the finished body passes through: it inserts the
// form feeds, the date/time-and-page line at the top of every page and the repeated blocks.
// TImpres::Visualiza paginates, saves the report and starts the viewer on it.
//
// Every text is a std::string of single Windows-1252 bytes. Line numbers and columns count
// from 1, list indexes from 0.
#include <memory>
#include <string>
#include <vector>

#include "platform/DataHora.h"
#include "platform/FormatSettings.h"

// A block of report lines.
using TLinhas = std::vector<std::string>;

// The line at a list index; an index outside the list fails with
// "List index out of bounds (%d)".
const std::string& LinhaNoIndice(const TLinhas& linhas, int indice);

// Creates the file, or empties it, and writes every line followed by CR LF, the last one
// included, byte for byte. A relative name lies in the current directory. A file that cannot
// be created fails with "Cannot create file \"<full path>\". <system's reason>".
void SalvaLinhas(const TLinhas& linhas, const std::string& nomeArquivo);

// The paginating line list. Every entry stored through Add is counted towards the page length
// and may bring a page break after it.
class TRelatorio {
public:
    explicit TRelatorio(const TFormatSettings& formato = TFormatSettings::BrasilPadrao(),
                        TRelogio relogio = AgoraLocal);

    // Stores the line at the end, paginating; returns the line's index.
    int Add(const std::string& linha);
    // Adds every line of the block in order, each through Add.
    void AddStrings(const TLinhas& bloco);
    // Ends the current page: form feed, date/time-and-page line and the repeated blocks.
    void QuebraPagina();

    // "  Data/Hora dd/mm/yyyy hh:nn" followed by "Pagina <n>" right-aligned in its field, from
    // the clock at this moment and the current page number.
    std::string LinhaDataHora() const;

    int Count() const { return static_cast<int>(linhas_.size()); }
    const std::string& Get(int indice) const { return LinhaNoIndice(linhas_, indice); }
    // Replaces the line at an index (no pagination).
    void Put(int indice, std::string linha);
    const TLinhas& Linhas() const { return linhas_; }

    int NumeroPagina() const { return NumeroPagina_; }
    int ContaLinhas() const { return ContaLinhas_; }

    // The blocks repeated after a page break; they belong to the builder and must outlive
    // this list. A null block is the same as an empty one.
    void Titulo(const TLinhas* titulo) { Titulo_ = titulo; }
    void Cabecalho(const TLinhas* cabecalho) { Cabecalho_ = cabecalho; }

    void RepeteTitulo(bool valor) { RepeteTitulo_ = valor; }
    bool RepeteTitulo() const { return RepeteTitulo_; }
    void RepeteCabecalho(bool valor) { RepeteCabecalho_ = valor; }
    bool RepeteCabecalho() const { return RepeteCabecalho_; }
    void LinhasPorPagina(int valor) { LinhasPorPagina_ = valor; }
    int LinhasPorPagina() const { return LinhasPorPagina_; }
    void Largura(int valor) { Largura_ = valor; }
    int Largura() const { return Largura_; }
    void ImprimeDataHora(bool valor) { ImprimeDataHora_ = valor; }
    bool ImprimeDataHora() const { return ImprimeDataHora_; }

private:
    void AddBloco(const TLinhas* bloco);

    int NumeroPagina_ = 1;
    int ContaLinhas_ = 0;
    const TLinhas* Titulo_ = nullptr;
    const TLinhas* Cabecalho_ = nullptr;
    bool RepeteTitulo_ = false;
    bool RepeteCabecalho_ = false;
    int LinhasPorPagina_ = 66;
    int Largura_ = 0;
    bool ImprimeDataHora_ = false;

    TLinhas linhas_;
    TFormatSettings formato_;
    TRelogio relogio_;
    bool quebrando_ = false;
};

// The report builder.
class TImpres {
public:
    // The regional settings and the clock serve the date/time-and-page line.
    explicit TImpres(const TFormatSettings& formato = TFormatSettings::BrasilPadrao(),
                     TRelogio relogio = AgoraLocal);
    virtual ~TImpres();
    TImpres(const TImpres&) = delete;
    TImpres& operator=(const TImpres&) = delete;

    // The settings; the pagination reads them when it runs, so they may be set at any time.
    void LinhasPorPagina(int valor) { LinhasPorPagina_ = valor; }
    int LinhasPorPagina() const { return LinhasPorPagina_; }
    void RepeteCabecalho(bool valor) { RepeteCabecalho_ = valor; }
    bool RepeteCabecalho() const { return RepeteCabecalho_; }
    void RepeteTitulo(bool valor) { RepeteTitulo_ = valor; }
    bool RepeteTitulo() const { return RepeteTitulo_; }
    void ImprimeDataHora(bool valor) { ImprimeDataHora_ = valor; }
    bool ImprimeDataHora() const { return ImprimeDataHora_; }
    void Largura(int valor) { Largura_ = valor; }
    int Largura() const { return Largura_; }

    // The page-heading block; no operation of the builder fills it, its owner does directly.
    TLinhas& Cabecalho() { return Cabecalho_; }
    const TLinhas& Cabecalho() const { return Cabecalho_; }
    const TLinhas& Titulo() const { return Titulo_; }
    // The body; after MontaPaginas, the paginated report.
    const TLinhas& Corpo() const;
    // The paginated list once MontaPaginas has run, otherwise null.
    const TRelatorio* Relatorio() const { return Relatorio_.get(); }

    // Places the text at the column of the line (-1: a new line at the end) and returns the
    // number of lines of the block.
    int AddTitulo(const std::string& texto, int coluna, int linha);
    int AddLinha(const std::string& texto, int coluna, int linha);
    // A rule of the character repeated to the width, placed on a new body line at column 3.
    int AddSeparador(const std::string& caractere, int largura);

    // The text cut to the width, then filled alternately on both sides up to it.
    static std::string Centraliza(const std::string& texto, int largura,
                                  const std::string& preenchimento);
    // The text followed by the fill up to the width; never cut.
    static std::string CompletaDireita(const std::string& texto, int largura,
                                       const std::string& preenchimento);
    // The fill up to the width followed by the text; never cut.
    static std::string CompletaEsquerda(const std::string& texto, int largura,
                                        const std::string& preenchimento);

    // Passes the blocks and the body through a new TRelatorio, which becomes the body.
    void MontaPaginas();
    // Paginates and saves the body to the file.
    void Grava(const std::string& nomeArquivo);
    // Grava, then starts the viewer on the file without waiting. Returns whether the viewer
    // could be started.
    bool Visualiza(const std::string& nomeArquivo);

private:
    int LinhasPorPagina_ = 66;
    bool RepeteCabecalho_ = false;
    bool RepeteTitulo_ = false;
    TLinhas Cabecalho_;
    TLinhas Titulo_;
    TLinhas Corpo_;
    bool ImprimeDataHora_ = true;
    int Largura_ = 0;

    std::unique_ptr<TRelatorio> Relatorio_;
    TFormatSettings formato_;
    TRelogio relogio_;
};
