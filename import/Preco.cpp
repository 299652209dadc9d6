#include "import/Preco.h"

#include "platform/Erro.h"
#include "platform/Texto.h"

#include <limits>

namespace {

constexpr std::uint64_t MaiorPositivo = std::numeric_limits<std::int64_t>::max();
constexpr std::uint64_t MaiorNegativo = MaiorPositivo + 1; // the magnitude of the lowest value

// An exponent beyond this is as good as infinite: no text is long enough to bring it back.
constexpr std::int64_t LimiteExpoente = 1'000'000'000'000;

inline bool EhDigito(char c) {
    return c >= '0' && c <= '9';
}

// The value of at most 19 decimal digits.
std::uint64_t ValorDe(std::string_view digitos) {
    std::uint64_t valor = 0;
    for (char c : digitos)
        valor = valor * 10 + static_cast<std::uint64_t>(c - '0');
    return valor;
}

std::uint64_t Magnitude(std::int64_t preco) {
    return preco < 0 ? 0 - static_cast<std::uint64_t>(preco) : static_cast<std::uint64_t>(preco);
}

// The decimal digits of a value, at least minimo of them (leading zeros added).
std::string Digitos(std::uint64_t valor, std::size_t minimo) {
    std::string s = std::to_string(valor);
    if (s.size() < minimo)
        s.insert(0, minimo - s.size(), '0');
    return s;
}

} // namespace

std::optional<std::int64_t> TentaTextoParaPreco(std::string_view t, char separadorDecimal) {
    const std::size_t n = t.size();
    std::size_t i = 0;
    while (i < n && t[i] == ' ')
        ++i;

    bool negativo = false;
    if (i < n && (t[i] == '+' || t[i] == '-')) {
        negativo = t[i] == '-';
        ++i;
    }

    const std::size_t inicioInteiro = i;
    while (i < n && EhDigito(t[i]))
        ++i;
    const std::string_view inteiro = t.substr(inicioInteiro, i - inicioInteiro);

    std::string_view fracao;
    bool temSeparador = false;
    if (i < n && t[i] == separadorDecimal) {
        temSeparador = true;
        const std::size_t inicioFracao = ++i;
        while (i < n && EhDigito(t[i]))
            ++i;
        fracao = t.substr(inicioFracao, i - inicioFracao);
    }
    if (inteiro.empty() && !temSeparador)
        return std::nullopt;

    std::int64_t expoente = 0;
    if (i < n && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        bool expoenteNegativo = false;
        if (i < n && (t[i] == '+' || t[i] == '-')) {
            expoenteNegativo = t[i] == '-';
            ++i;
        }
        const std::size_t inicioExpoente = i;
        while (i < n && EhDigito(t[i])) {
            if (expoente < LimiteExpoente)
                expoente = expoente * 10 + (t[i] - '0');
            ++i;
        }
        if (i == inicioExpoente)
            return std::nullopt;
        if (expoenteNegativo)
            expoente = -expoente;
    }

    while (i < n && t[i] == ' ')
        ++i;
    if (i != n)
        return std::nullopt;

    // The number is digitos x 10^(expoente - length of the fraction); in ten-thousandths that
    // is the significant digits times 10^escala.
    std::string digitos;
    digitos.reserve(inteiro.size() + fracao.size());
    digitos.append(inteiro).append(fracao);
    const std::size_t primeiro = digitos.find_first_not_of('0');
    if (primeiro == std::string::npos)
        return 0;
    const std::size_t fim = digitos.find_last_not_of('0') + 1;
    const std::string_view significativos(digitos.data() + primeiro, fim - primeiro);
    const auto quantos = static_cast<std::int64_t>(significativos.size());
    const std::int64_t escala = expoente - static_cast<std::int64_t>(fracao.size()) + 4 +
                                static_cast<std::int64_t>(digitos.size() - fim);

    std::uint64_t magnitude = 0;
    if (escala >= 0) {
        // 20 digits or more are beyond the 64-bit range; 19 always fit in its unsigned half.
        if (quantos + escala > 19)
            return std::nullopt;
        magnitude = ValorDe(significativos);
        for (std::int64_t k = 0; k < escala; ++k)
            magnitude *= 10;
    } else if (-escala <= quantos) {
        const auto mantidos = static_cast<std::size_t>(quantos + escala);
        if (mantidos > 19)
            return std::nullopt;
        magnitude = ValorDe(significativos.substr(0, mantidos));
        // The digits dropped end in a nonzero one, so a first dropped "5" is an exact half
        // only when it is the last digit.
        const char dropado = significativos[mantidos];
        const bool exatamenteMeio = dropado == '5' && mantidos + 1 == significativos.size();
        if (dropado > '5' || (dropado == '5' && !exatamenteMeio) ||
            (exatamenteMeio && (magnitude & 1) != 0))
            ++magnitude;
    }
    // Otherwise the number is below half a ten-thousandth and rounds to 0.

    if (magnitude > (negativo ? MaiorNegativo : MaiorPositivo))
        return std::nullopt;
    return negativo ? static_cast<std::int64_t>(0 - magnitude)
                    : static_cast<std::int64_t>(magnitude);
}

std::int64_t TextoParaPreco(std::string_view texto, const TFormatSettings& formato) {
    if (auto preco = TentaTextoParaPreco(texto, formato.DecimalSeparator))
        return *preco;
    throw EErro(Formata("'%s' is not a valid floating point value", {texto}));
}

std::string PrecoParaSQL(std::int64_t preco) {
    std::uint64_t m = Magnitude(preco);
    const std::string todos = std::to_string(m);
    if (todos.size() > 15) {
        std::uint64_t unidade = 1;
        for (std::size_t k = 15; k < todos.size(); ++k)
            unidade *= 10;
        const std::uint64_t resto = m % unidade;
        m -= resto;
        if (resto >= unidade - resto)
            m += unidade;
    }

    std::string s = preco < 0 ? "-" : "";
    s += std::to_string(m / 10000);
    if (m % 10000 != 0) {
        std::string fracao = Digitos(m % 10000, 4);
        fracao.erase(fracao.find_last_not_of('0') + 1);
        s += '.';
        s += fracao;
    }
    return s;
}

std::string PrecoParaRelatorio(std::int64_t preco, const TFormatSettings& formato) {
    const std::uint64_t centavos = (Magnitude(preco) + 50) / 100;
    std::string s = preco < 0 && centavos != 0 ? "-" : "";
    const std::string inteiro = std::to_string(centavos / 100);
    if (formato.ThousandSeparator != '\0')
        s += AgrupaMilhares(inteiro, formato.ThousandSeparator);
    else
        s += inteiro;
    s += formato.DecimalSeparator;
    s += Digitos(centavos % 100, 2);
    return s;
}
