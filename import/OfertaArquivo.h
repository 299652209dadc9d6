#pragma once
// The offer file as lines: a ";"-separated text of single bytes (Windows-1252), read as it
// stands, one product per line, the first line a heading; or, when the text opens with UTF-8's
// byte-order mark ("CSV UTF-8", as newer spreadsheet programs save), UTF-8 text, whose lines are
// turned into Windows-1252 one by one as they end (a character Windows-1252 lacks, or a
// malformed sequence, becomes "?").
#include "import/LinhasArquivo.h"

#include <string>
#include <string_view>

// Cuts a text into lines as it arrives, block after block, appending them to a list. A line
// runs up to the next CR, LF or NUL; after it one CR and then one LF are skipped. So CR LF, CR
// alone and LF alone each end one line, LF CR ends two (with an empty line between), a line end
// at the very end adds no empty line, a last line without line end still counts, and a NUL
// ends the text: whatever follows it is ignored. The mark, split across blocks or not, is not
// part of the first line; a text without it is cut byte for byte, without any conversion.
class TDivisorLinhas {
public:
    explicit TDivisorLinhas(TLinhasArquivo& linhas) : linhas_(linhas) {}

    // Takes the next block of the text. Returns false once a NUL has ended the text; later
    // blocks are then ignored.
    bool Acrescenta(std::string_view bloco);
    // The text is over: a last line without a line end is stored.
    void Termina();
    // The number (from 1) of the line in which the NUL that ended the text stands; 0 while no
    // NUL has come.
    std::size_t LinhaDoNul() const { return linhaDoNul_; }
    // Whether the text opened with UTF-8's byte-order mark (known once its first three bytes,
    // or the text's end, have come).
    bool Utf8() const { return utf8_; }

private:
    // Cuts the bytes after the mark, if any, into lines.
    bool Divide(std::string_view bloco);
    void AcrescentaALinhaAberta(std::string_view parte);
    bool LinhaAbertaVazia() const;
    void FechaLinha();

    TLinhasArquivo& linhas_; // its open line is one begun in an earlier block, not yet ended
    bool aposCR_ = false;    // the previous block ended with the CR that ended a line
    bool terminou_ = false;  // a NUL has ended the text
    std::size_t linhaDoNul_ = 0;
    bool inicioVisto_ = false; // the text's first bytes have told whether it opens with the mark
    std::string inicio_;       // until then, the bytes of the mark seen so far
    bool utf8_ = false;
    std::string linhaUtf8_; // in a UTF-8 text, the open line's bytes, converted when it ends
};

// The lines of a whole text.
TLinhasArquivo DivideLinhas(std::string_view texto);

// Replaces the list with the lines of the named file, cut as TDivisorLinhas cuts them: byte for
// byte without any conversion, or, after UTF-8's mark, turned into Windows-1252. The previous
// lines are discarded before the file is opened, so a file that cannot be read leaves the list
// empty; the error (an EErro "Cannot open file ...") goes back to the caller. A file holding a NUL
// byte is no offer file (a spreadsheet's own format, a damaged file): it is refused with an EErro
// naming the line of the first NUL, and the list stays empty, rather than loaded up to the NUL as
// if the rest were not there.
void CarregaLinhas(const std::string& nomeArquivo, TLinhasArquivo& linhas);
