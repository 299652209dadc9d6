#pragma once
// The report viewer's window: one page of the report at a time, in a fixed-pitch font sized so
// that the report's columns fill the width, with page navigation, find, print and export to
// PDF.
#include "viewer/PaginasRelatorio.h"

#include <QMainWindow>
#include <QPlainTextEdit>

#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;

// The page's text box: read-only, no wrapping, and its font refitted to the columns whenever
// its width changes. Read-only and selectable by mouse only, it leaves the page keys (Page
// Up/Down, Home, End) to the window's shortcuts.
class TTextoPagina : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TTextoPagina(int colunas, QWidget* parent = nullptr);

    int Colunas() const { return colunas_; }
    // The width a line of the report's columns must fit in: the text area with the vertical
    // scroll bar shown (so that the bar coming and going never changes the size of the font),
    // without the document's margins.
    qreal LarguraUtil() const;
    void AjustaFonte();

protected:
    void resizeEvent(QResizeEvent* evento) override;

private:
    int colunas_;
    QFont base_;
    qreal larguraAjustada_ = -1;
};

class TFVisualizador : public QMainWindow {
    Q_OBJECT
public:
    explicit TFVisualizador(int colunas, QWidget* parent = nullptr);

    // Reads the report file and shows its first page; fails with EFalhaVisualizador.
    void Abre(const std::string& arquivo);
    // Shows pages already read; the name is the report's, for the title and the print job.
    void MostraPaginas(QList<TPagina> paginas, const QString& nome);

    int Colunas() const { return txtPagina->Colunas(); }
    const QList<TPagina>& Paginas() const { return paginas_; }
    // Counting from 1.
    int PaginaAtual() const { return paginaAtual_ + 1; }
    int TotalPaginas() const { return static_cast<int>(paginas_.size()); }
    // Goes to the page (counting from 1; outside the report, to its nearest end).
    void IrParaPagina(int pagina);

    // Looks for the text from the selection on, forwards or backwards, through the following
    // pages and round again from the other end; selects what it finds and tells whether it
    // found anything.
    bool Localiza(const QString& texto, bool paraTras = false);
    // Shows the find bar with the focus in its text box.
    void MostraLocalizar();
    void EscondeLocalizar();

    // Writes the whole report into a PDF file; tells the user when the file cannot be written.
    bool ExportaPdf(const QString& arquivo);

    TTextoPagina* txtPagina;
    QLabel* lblPagina;
    QWidget* pnlLocalizar;
    QLineEdit* txtLocalizar;
    QCheckBox* checkMaiusculas;

    QAction* acPrimeira;
    QAction* acAnterior;
    QAction* acProxima;
    QAction* acUltima;
    QAction* acLocalizar;
    QAction* acLocalizarProxima;
    QAction* acLocalizarAnterior;
    QAction* acImprimir;
    QAction* acExportarPdf;
    QAction* acFechar;

private:
    void CriaAcoes();
    void CriaBarraLocalizar();
    void AtualizaPagina();
    void MarcaOcorrencias();
    void Imprime();
    void ExportaPdfComDialogo();

    QList<TPagina> paginas_;
    QStringList textos_; // each page's lines joined, as the text box holds them
    int paginaAtual_ = 0;
    QString nome_;
    QString arquivo_;
};

// The caption of the viewer's window and message boxes.
QString TituloVisualizador();
