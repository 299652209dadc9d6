#include "platform/ProfileString.h"

#include "platform/Windows1252.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string_view>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

constexpr size_t TamanhoMaximoValor = 2047;

// Blanks as the system's reader counts them: the C blanks and the old end-of-file mark (Ctrl+Z).
bool Branco(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' || c == '\x1A';
}

std::string_view TiraBrancos(std::string_view s) {
    while (!s.empty() && Branco(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && Branco(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IguaisSemCaixa(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The value as the system hands it over: the opening quote of a matching pair dropped, the rest
// cut to the longest value, and then its last character dropped when the closing quote was
// within reach of the cut. That last character is the closing quote, except when the quoted
// text is exactly the longest value: then the system drops the text's last character instead.
std::string CopiaValor(std::string_view v) {
    bool aspas = v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
    if (aspas)
        v.remove_prefix(1);
    std::string valor(v.substr(0, TamanhoMaximoValor));
    if (aspas && v.size() <= TamanhoMaximoValor + 1 && !valor.empty())
        valor.pop_back();
    return valor;
}

// The file's lines one by one: a line ends at CR, at LF or at a CR LF pair.
class TLinhas {
public:
    explicit TLinhas(std::string_view texto) : resto_(texto) {}
    bool Proxima(std::string_view& linha) {
        if (resto_.empty())
            return false;
        auto fim = resto_.find_first_of("\r\n");
        linha = resto_.substr(0, fim);
        if (fim == std::string_view::npos) {
            resto_ = {};
            return true;
        }
        bool crlf = resto_[fim] == '\r' && fim + 1 < resto_.size() && resto_[fim + 1] == '\n';
        resto_.remove_prefix(fim + (crlf ? 2 : 1));
        return true;
    }

private:
    std::string_view resto_;
};

// A section header: "[" and the last "]" of the line, the name between them without blanks.
bool EhCabecalho(std::string_view linha, std::string_view& nome) {
    if (linha.empty() || linha.front() != '[')
        return false;
    auto fecha = linha.rfind(']');
    if (fecha == 0 || fecha == std::string_view::npos)
        return false;
    nome = TiraBrancos(linha.substr(1, fecha - 1));
    return true;
}

// The default comes back without the spaces at its end, but never shorter than one character.
std::string SemBrancosAoFim(std::string padrao) {
    while (padrao.size() > 1 && padrao.back() == ' ')
        padrao.pop_back();
    return padrao;
}

} // namespace

// The lines before the first header form a section without a name, which comes first. Only the
// first section of a name and the first key of a name in it are read; a key written without
// "=" has no value and answers with the default.
std::string LeProfileStringProprio(const std::string& secao, const std::string& chave,
                                   const std::string& padrao, const std::string& arquivo) {
    std::ifstream in(arquivo, std::ios::binary);
    if (!in)
        return SemBrancosAoFim(padrao);
    std::string texto{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // A file that opens with UTF-8's byte-order mark is UTF-8 text; the values are read in
    // Windows-1252 all the same.
    if (texto.starts_with("\xEF\xBB\xBF"))
        texto = DeUtf8(std::string_view(texto).substr(3));
    TLinhas linhas(texto);
    bool naSecao = secao.empty(); // the nameless first section
    std::string_view linha, nome;
    while (linhas.Proxima(linha)) {
        linha = TiraBrancos(linha);
        if (linha.empty() || linha.front() == ';')
            continue;
        if (EhCabecalho(linha, nome)) {
            if (naSecao)
                break;
            naSecao = IguaisSemCaixa(nome, secao);
            continue;
        }
        if (!naSecao)
            continue;
        auto igual = linha.find('=');
        if (!IguaisSemCaixa(TiraBrancos(linha.substr(0, igual)), chave))
            continue;
        if (igual == std::string_view::npos)
            break;
        return CopiaValor(TiraBrancos(linha.substr(igual + 1)));
    }
    return SemBrancosAoFim(padrao);
}

std::string LeProfileString(const std::string& secao, const std::string& chave,
                            const std::string& padrao, const std::string& arquivo) {
#if defined(_WIN32)
    // The buffer holds the longest value the rules allow and its closing NUL.
    char valor[TamanhoMaximoValor + 1];
    DWORD n = GetPrivateProfileStringA(secao.c_str(), chave.c_str(), padrao.c_str(), valor,
                                       sizeof valor, arquivo.c_str());
    return std::string(valor, n);
#else
    return LeProfileStringProprio(secao, chave, padrao, arquivo);
#endif
}
