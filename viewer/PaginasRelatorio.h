#pragma once
// The saved report as the viewer shows it: the file's bytes, read whole, decoded from
// Windows-1252 and split into lines and pages.
#include <QList>
#include <QString>
#include <QStringList>

#include <exception>
#include <string>
#include <string_view>

// A failure the viewer tells the user about, with the program's exit code after it.
class EFalhaVisualizador : public std::exception {
public:
    EFalhaVisualizador(QString mensagem, int codigoSaida);
    const char* what() const noexcept override { return utf8_.c_str(); }
    const QString& Mensagem() const noexcept { return mensagem_; }
    int CodigoSaida() const noexcept { return codigo_; }

private:
    QString mensagem_;
    std::string utf8_;
    int codigo_;
};

// Exit codes of the viewer.
inline constexpr int SaidaArgumentosInvalidos = 2;
inline constexpr int SaidaRelatorioIlegivel = 1;

// One page: its lines, without line ends.
using TPagina = QStringList;

// Tab stops of the report text, in columns.
inline constexpr int ColunasPorTabulacao = 8;
// The largest report the viewer reads.
inline constexpr std::size_t TamanhoMaximoRelatorio = 256u * 1024 * 1024;

// Splits the report's bytes into pages. Lines end with CR LF (a bare LF ends one too). Every
// form feed ends the page: what stands before it on its line closes the page, what follows it
// opens the next one, and neither becomes a line when it is empty. A last page left without
// any line is dropped; there is always at least one page. Tabs become blanks up to the next
// tab stop and other control characters become blanks, so that columns keep their places.
QList<TPagina> DividePaginas(std::string_view bytes);

// The whole file, byte for byte. A file that cannot be read fails with
// "Não foi possível abrir o relatório "<name>": <reason>".
std::string LeArquivoRelatorio(const std::string& arquivo);

// The name of a file as the user sees it (file names are bytes in the system's encoding).
QString NomeParaUsuario(const std::string& arquivo);
