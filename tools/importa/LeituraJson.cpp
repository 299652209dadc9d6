#include "tools/importa/LeituraJson.h"

#include <cctype>

namespace {

class TLeitor {
public:
    explicit TLeitor(std::string_view t) : t_(t) {}

    bool Objeto(const std::string& prefixo, std::map<std::string, TValorJson>& membros) {
        if (!Le('{'))
            return false;
        if (Le('}'))
            return true;
        do {
            std::string nome;
            if (!Texto(nome) || !Le(':'))
                return false;
            const std::string chave = prefixo.empty() ? nome : prefixo + "." + nome;
            Brancos();
            if (pos_ < t_.size() && t_[pos_] == '{') {
                if (!Objeto(chave, membros))
                    return false;
                continue;
            }
            TValorJson valor;
            if (!Valor(valor))
                return false;
            membros[chave] = valor;
        } while (Le(','));
        return Le('}');
    }

    bool Fim() {
        Brancos();
        return pos_ == t_.size();
    }

private:
    void Brancos() {
        while (pos_ < t_.size() && std::isspace(static_cast<unsigned char>(t_[pos_])))
            ++pos_;
    }
    bool Le(char c) {
        Brancos();
        if (pos_ < t_.size() && t_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool Palavra(std::string_view p) {
        if (t_.substr(pos_, p.size()) != p)
            return false;
        pos_ += p.size();
        return true;
    }
    static void Utf8(unsigned codigo, std::string& s) {
        if (codigo < 0x80) {
            s += static_cast<char>(codigo);
        } else if (codigo < 0x800) {
            s += static_cast<char>(0xC0 | (codigo >> 6));
            s += static_cast<char>(0x80 | (codigo & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | (codigo >> 12));
            s += static_cast<char>(0x80 | ((codigo >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (codigo & 0x3F));
        }
    }
    bool Texto(std::string& s) {
        if (!Le('"'))
            return false;
        while (pos_ < t_.size()) {
            const char c = t_[pos_++];
            if (c == '"')
                return true;
            if (c != '\\') {
                s += c;
                continue;
            }
            if (pos_ >= t_.size())
                return false;
            const char e = t_[pos_++];
            switch (e) {
            case 'n':
                s += '\n';
                break;
            case 'r':
                s += '\r';
                break;
            case 't':
                s += '\t';
                break;
            case 'b':
                s += '\b';
                break;
            case 'f':
                s += '\f';
                break;
            case 'u': {
                if (pos_ + 4 > t_.size())
                    return false;
                unsigned codigo = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = t_[pos_++];
                    if (!std::isxdigit(static_cast<unsigned char>(h)))
                        return false;
                    codigo = codigo * 16 +
                             static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h))
                                                       ? h - '0'
                                                       : (std::tolower(h) - 'a' + 10));
                }
                Utf8(codigo, s);
                break;
            }
            default:
                s += e; // \" \\ \/
            }
        }
        return false;
    }
    bool Valor(TValorJson& v) {
        Brancos();
        if (pos_ >= t_.size())
            return false;
        const char c = t_[pos_];
        if (c == '"') {
            v.Tipo = TValorJson::Tipo::Texto;
            return Texto(v.Texto);
        }
        if (Palavra("null")) {
            v.Tipo = TValorJson::Tipo::Nulo;
            return true;
        }
        for (std::string_view p : {"true", "false"})
            if (Palavra(p)) {
                v.Tipo = TValorJson::Tipo::Logico;
                v.Texto = p;
                return true;
            }
        const size_t inicio = pos_;
        while (pos_ < t_.size() &&
               (std::isdigit(static_cast<unsigned char>(t_[pos_])) ||
                std::string_view("+-.eE").find(t_[pos_]) != std::string_view::npos))
            ++pos_;
        if (pos_ == inicio)
            return false;
        v.Tipo = TValorJson::Tipo::Numero;
        v.Texto = t_.substr(inicio, pos_ - inicio);
        return true;
    }

    std::string_view t_;
    size_t pos_ = 0;
};

} // namespace

std::optional<std::map<std::string, TValorJson>> LeObjetoJson(std::string_view texto) {
    std::map<std::string, TValorJson> membros;
    TLeitor leitor(texto);
    if (!leitor.Objeto("", membros) || !leitor.Fim())
        return std::nullopt;
    return membros;
}

std::optional<std::vector<std::map<std::string, TValorJson>>> LeListaJson(std::string_view texto,
                                                                          std::string_view nome) {
    const std::string chave = "\"" + std::string(nome) + "\": [";
    const size_t inicio = texto.find(chave);
    if (inicio == std::string_view::npos)
        return std::nullopt;
    std::vector<std::map<std::string, TValorJson>> objetos;
    // The objects split at their top level, strings skipped whole.
    int fundo = 0;
    bool emTexto = false;
    size_t de = 0;
    for (size_t i = inicio + chave.size(); i < texto.size(); ++i) {
        const char c = texto[i];
        if (emTexto) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                emTexto = false;
        } else if (c == '"') {
            emTexto = true;
        } else if (c == '{' && fundo++ == 0) {
            de = i;
        } else if (c == '}' && --fundo == 0) {
            auto objeto = LeObjetoJson(texto.substr(de, i + 1 - de));
            if (!objeto)
                return std::nullopt;
            objetos.push_back(std::move(*objeto));
        } else if (c == ']' && fundo == 0) {
            return objetos;
        }
    }
    return std::nullopt;
}
