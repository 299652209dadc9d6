// One data line of the offer file, any bytes, under three decimal separators. The fields are the
// text between the first three ";"; a price text is accepted exactly when it has the form of a
// number and its value fits; an accepted price is the text's value rounded to ten-thousandths;
// its statement form reads back (with ".") as the same price, or as that price rounded to 15
// significant digits; its report form is the price rounded to cents, grouped by thousands.
#include "FuzzSupport.h"
#include "import/LinhaOferta.h"
#include "import/Preco.h"
#include "platform/Erro.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

namespace {

using u128 = unsigned __int128;

bool Digito(char c) {
    return c >= '0' && c <= '9';
}

// The form of a price text, checked on its own: blanks, sign, digits with the separator and
// more digits (a digit or the separator at least), an exponent, blanks. Gives the text in the
// form strtold reads ("." as the point, no blanks), or nothing.
std::optional<std::string> FormaDeNumero(std::string_view t, char separador) {
    std::size_t i = 0;
    auto pula = [&](auto condicao) {
        std::size_t inicio = i;
        while (i < t.size() && condicao(t[i]))
            ++i;
        return t.substr(inicio, i - inicio);
    };
    pula([](char c) { return c == ' '; });
    std::string saida;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        saida += t[i++];
    std::string_view inteiro = pula(Digito);
    bool ponto = false;
    std::string_view fracao;
    if (i < t.size() && t[i] == separador) {
        ponto = true;
        ++i;
        fracao = pula(Digito);
    }
    if (inteiro.empty() && !ponto)
        return std::nullopt;
    saida += inteiro.empty() ? "0" : std::string(inteiro);
    saida += '.';
    saida += fracao;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        std::string expoente;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            expoente += t[i++];
        std::string_view digitos = pula(Digito);
        if (digitos.empty())
            return std::nullopt;
        saida += 'e';
        saida += expoente;
        saida += digitos;
    }
    pula([](char c) { return c == ' '; });
    if (i != t.size())
        return std::nullopt;
    return saida;
}

u128 Magnitude(std::int64_t p) {
    return p < 0 ? static_cast<u128>(-(p + 1)) + 1 : static_cast<u128>(p);
}

std::string Decimal(u128 v) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return s;
}

// The statement form: a plain decimal with ".", that reads back as the price itself when it has
// at most 15 significant digits, otherwise as the price rounded to 15 (a half away from zero).
void ConfereSQL(std::int64_t preco) {
    const std::string sql = PrecoParaSQL(preco);
    std::size_t i = 0;
    if (preco < 0) {
        CONFERE(sql[0] == '-');
        i = 1;
    }
    const std::size_t ponto = sql.find('.');
    const std::size_t fimInteiro = ponto == std::string::npos ? sql.size() : ponto;
    CONFERE(fimInteiro > i);
    for (std::size_t k = i; k < sql.size(); ++k)
        CONFERE(Digito(sql[k]) || k == ponto);
    CONFERE(fimInteiro - i == 1 || sql[i] != '0'); // no leading zeros
    if (ponto != std::string::npos) {
        CONFERE(sql.size() - ponto - 1 >= 1 && sql.size() - ponto - 1 <= 4);
        CONFERE(sql.back() != '0'); // no trailing zeros
    }
    CONFERE(sql != "-0");

    u128 m = Magnitude(preco);
    const std::string todos = Decimal(m);
    if (todos.size() > 15) {
        u128 unidade = 1;
        for (std::size_t k = 15; k < todos.size(); ++k)
            unidade *= 10;
        u128 resto = m % unidade;
        m = m - resto + (2 * resto >= unidade ? unidade : 0);
    }
    const u128 limite = preco < 0 ? u128(1) << 63 : (u128(1) << 63) - 1;
    auto lido = TentaTextoParaPreco(sql, '.');
    if (m > limite) {
        CONFERE(!lido.has_value());
        return;
    }
    CONFERE(lido.has_value());
    CONFERE(Magnitude(*lido) == m);
    CONFERE((*lido < 0) == (preco < 0));
}

// The report form: "#,##0.00" with the regional separators, the price rounded to cents.
void ConfereRelatorio(std::int64_t preco, const TFormatSettings& formato) {
    const std::string r = PrecoParaRelatorio(preco, formato);
    const u128 centavos = (Magnitude(preco) + 50) / 100;
    std::size_t i = 0;
    if (!r.empty() && r[0] == '-')
        i = 1;
    CONFERE((i == 1) == (preco < 0 && centavos != 0));
    CONFERE(r.size() >= i + 4);
    CONFERE(r[r.size() - 3] == formato.DecimalSeparator);
    std::string digitos;
    const std::size_t fimInteiro = r.size() - 3;
    std::size_t grupo = 0;
    for (std::size_t k = fimInteiro; k-- > i;) {
        if (formato.ThousandSeparator != '\0' && grupo == 3) {
            CONFERE(r[k] == formato.ThousandSeparator);
            grupo = 0;
            continue;
        }
        CONFERE(Digito(r[k]));
        digitos.insert(digitos.begin(), r[k]);
        ++grupo;
    }
    CONFERE(!digitos.empty());
    CONFERE(Digito(r[i])); // no separator in front
    CONFERE(digitos.size() == 1 || digitos[0] != '0');
    CONFERE(Digito(r[r.size() - 2]) && Digito(r[r.size() - 1]));
    CONFERE(Decimal(centavos / 100) == digitos);
    CONFERE(Decimal(centavos % 100 + 100).substr(1) == r.substr(r.size() - 2));
}

// A price text: accepted exactly when it has the form of a number whose value fits, and then
// the value rounded to ten-thousandths.
void ConferePrecoTexto(std::string_view texto, char separador) {
    auto preco = TentaTextoParaPreco(texto, separador);
    auto forma = FormaDeNumero(texto, separador);
    if (!forma) {
        CONFERE(!preco.has_value());
        return;
    }
    const long double valor = std::strtold(forma->c_str(), nullptr) * 10000.0L;
    const long double maximo = 9223372036854775807.0L;
    // Within a little of the limits the long double itself is too coarse to tell.
    if (!std::isfinite(valor) || std::fabs(valor) > maximo * (1 + 1e-15L)) {
        CONFERE(!preco.has_value());
        return;
    }
    if (std::fabs(valor) < maximo * (1 - 1e-15L))
        CONFERE(preco.has_value());
    if (preco) {
        const long double diferenca = std::fabs(static_cast<long double>(*preco) - valor);
        CONFERE(diferenca <= 0.5L + std::fabs(valor) * 1e-17L);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    TLeitorFuzz leitor(dados, tamanho);
    const std::uint8_t escolha = leitor.Byte();
    TFormatSettings formato = TFormatSettings::BrasilPadrao();
    static constexpr char decimais[] = {',', '.', '\''};
    static constexpr char milhares[] = {'.', ',', '\0', ' '};
    formato.DecimalSeparator = decimais[escolha % 3];
    formato.ThousandSeparator = milhares[(escolha / 3) % 4];
    if (formato.ThousandSeparator == formato.DecimalSeparator)
        formato.ThousandSeparator = '\0';
    const std::string_view linha = leitor.Resto();

    // The fields, found here on their own.
    const std::size_t s1 = linha.find(';');
    const std::size_t s2 = s1 == std::string_view::npos ? s1 : linha.find(';', s1 + 1);
    const std::size_t s3 = s2 == std::string_view::npos ? s2 : linha.find(';', s2 + 1);
    const std::string barras(s1 == std::string_view::npos ? "" : linha.substr(0, s1));
    const std::string descricao(s2 == std::string_view::npos ? ""
                                                             : linha.substr(s1 + 1, s2 - s1 - 1));
    const std::string textoPreco(s3 == std::string_view::npos ? ""
                                                              : linha.substr(s2 + 1, s3 - s2 - 1));

    ConferePrecoTexto(textoPreco, formato.DecimalSeparator);
    const auto esperado = TentaTextoParaPreco(textoPreco, formato.DecimalSeparator);
    try {
        TLinhaOferta oferta = LerLinhaOferta(linha, formato);
        CONFERE(esperado.has_value());
        CONFERE(oferta.Barras == barras);
        CONFERE(oferta.Descricao == descricao);
        CONFERE(oferta.Preco == *esperado);
        ConfereSQL(oferta.Preco);
        ConfereRelatorio(oferta.Preco, formato);
    } catch (const EErro& e) {
        CONFERE(!esperado.has_value());
        CONFERE(e.Message() == "'" + textoPreco + "' is not a valid floating point value");
    }

    const std::string normal = NormalizaBarras(barras);
    CONFERE(normal.size() == std::max<std::size_t>(13, barras.size()));
    CONFERE(normal.compare(normal.size() - barras.size(), barras.size(), barras) == 0);
    CONFERE(normal.find_first_not_of('0') >= normal.size() - barras.size());

    // Every price, whatever text it came from: both forms keep their promises.
    if (tamanho >= 8) {
        std::int64_t bruto = 0;
        for (int k = 0; k < 8; ++k)
            bruto = static_cast<std::int64_t>(static_cast<std::uint64_t>(bruto) << 8 | dados[k]);
        ConfereSQL(bruto);
        ConfereRelatorio(bruto, formato);
    }
    return 0;
}
