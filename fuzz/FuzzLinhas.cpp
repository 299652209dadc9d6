// The offer file's line splitting on any bytes. The lines joined with LF give back the text up to
// its first NUL with every line end (CR LF, CR, LF) made one LF and a last line end dropped; no
// line holds a line end or a NUL; the text cut into blocks anywhere splits the same as whole;
// and a file with the same bytes loads the same lines, or, when the text holds a NUL, is refused
// naming the NUL's line and leaves no lines. A text that opens with UTF-8's mark gives the same
// lines, each turned into Windows-1252, as the rest of the text would give as it stands.
#include "FuzzSupport.h"
#include "import/OfertaArquivo.h"
#include "platform/Erro.h"
#include "platform/Windows1252.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The text as the lines should join back: up to the first NUL, line ends made LF, and one last
// line end dropped.
std::string Normalizado(std::string_view texto) {
    texto = texto.substr(0, texto.find('\0'));
    std::string saida;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        if (texto[i] == '\r') {
            saida += '\n';
            if (i + 1 < texto.size() && texto[i + 1] == '\n')
                ++i;
        } else {
            saida += texto[i];
        }
    }
    if (!saida.empty() && saida.back() == '\n')
        saida.pop_back();
    return saida;
}

void ConfereLinhas(std::string_view texto, const TLinhasArquivo& linhas) {
    // After the mark, the text is UTF-8: its line ends are the same bytes, and converting the
    // lines one by one is converting them joined (no sequence runs over a line end).
    const bool utf8 = texto.substr(0, 3) == "\xEF\xBB\xBF";
    if (utf8)
        texto.remove_prefix(3);
    const std::string_view util = texto.substr(0, texto.find('\0'));
    const std::string esperado = utf8 ? DeUtf8(Normalizado(texto)) : Normalizado(texto);
    std::size_t quebras = 0;
    for (char c : esperado)
        quebras += c == '\n';
    CONFERE(linhas.size() == (util.empty() ? 0 : quebras + 1));
    std::string junto;
    for (std::size_t i = 0; i < linhas.size(); ++i) {
        CONFERE(linhas[i].find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
        if (i > 0)
            junto += '\n';
        junto += linhas[i];
    }
    CONFERE(junto == esperado);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    TLeitorFuzz leitor(dados, tamanho);
    const std::uint8_t semente = leitor.Byte();
    const std::string_view texto = leitor.Resto();

    const TLinhasArquivo inteiras = DivideLinhas(texto);
    ConfereLinhas(texto, inteiras);

    // Cut into blocks of sizes from 0 to 7 (0: an empty block in between), as a file read in
    // blocks arrives.
    TLinhasArquivo emBlocos;
    TDivisorLinhas divisor(emBlocos);
    std::uint32_t estado = semente * 2654435761u + 1;
    std::size_t pos = 0;
    bool aberto = true;
    while (pos < texto.size()) {
        estado = estado * 1103515245u + 12345u;
        std::size_t n = std::min<std::size_t>((estado >> 16) % 8, texto.size() - pos);
        bool continua = divisor.Acrescenta(texto.substr(pos, n));
        // The block that holds the first NUL is the one that ends the text.
        if (aberto)
            CONFERE(continua == (texto.substr(pos, n).find('\0') == std::string_view::npos));
        else
            CONFERE(!continua);
        if (!continua)
            aberto = false;
        pos += n;
    }
    divisor.Termina();
    CONFERE(emBlocos == inteiras);

    const std::string& arquivo = ArquivoDeTrabalho("oferta.csv");
    EscreveArquivo(arquivo, texto);
    TLinhasArquivo carregadas = {"linha antiga"};
    const std::size_t nul = texto.find('\0');
    if (nul == std::string_view::npos) {
        CarregaLinhas(arquivo, carregadas);
        CONFERE(carregadas == inteiras);
        return 0;
    }
    // The NUL's line: a character in its place joins the open line or begins a new one.
    const std::string ate = std::string(texto.substr(0, nul)) + "x";
    const std::string linha = std::to_string(DivideLinhas(ate).size());
    try {
        CarregaLinhas(arquivo, carregadas);
        CONFERE(false);
    } catch (const EErro& e) {
        CONFERE(e.Message().find("a linha " + linha + " cont") != std::string::npos);
    }
    CONFERE(carregadas.empty());
    return 0;
}
