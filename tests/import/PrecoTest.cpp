#include "import/Preco.h"
#include "platform/Erro.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
const TFormatSettings Brasil = TFormatSettings::BrasilPadrao();
const TFormatSettings Eua{'.', ',', '/', ':', "MM/dd/yyyy"};

struct CasoTexto {
    const char* texto;
    std::optional<std::int64_t> preco; // nothing: not accepted
};

const CasoTexto CasosVirgula[] = {
    {"12,90", 129000},
    {"10,00", 100000},
    {"0,5", 5000},
    {"-1,25", -12500},
    {"1234,5678", 12345678},
    {"1234,56", 12345600},
    {"+7", 70000},
    {"  12,90  ", 129000},
    // halves to even at the fourth decimal, where binary floating point goes astray
    {"0,00015", 2},
    {"0,00005", 0},
    {"0,00025", 2},
    {"0,00035", 4},
    {"-0,00015", -2},
    {"-0,00005", 0},
    {"0,000050001", 1},
    {"0,00004999999999999999999", 0},
    {"1,00005", 10000},
    {"0,00000000000000000000000000009", 0},
    {"000000000000000000000000012,500000000000000000000", 125000},
    // exponents move the digits across the four decimals
    {"1e-4", 1},
    {"1E+2", 1000000},
    {"1,5e3", 15000000},
    {"12,9E-1", 12900},
    {"0,5e-4", 0},
    {"1,5e-4", 2},
    {"2,5e-4", 2},
    {"123456e-2", 12345600},
    {"1e14", 1000000000000000000},
    {"0e999999999999999999999", 0},
    {"7e-999999999999999999999", 0},
    {"1e15", {}},
    {"1e999999999999999999999", {}},
    {",e5", 0},
    {"5,e1", 500000},
    // the separator with digits on one side only, or none
    {",5", 5000},
    {"5,", 50000},
    {",", 0},
    {"-,", 0},
    {"+,5", 5000},
    // the ends of the signed 64-bit range of ten-thousandths
    {"922337203685477,5807", Max},
    {"922337203685477,58074", Max},
    {"922337203685477,5808", {}},
    {"922337203685477,58075", {}},
    {"-922337203685477,5808", Min},
    {"-922337203685477,58085", Min},
    {"-922337203685477,5809", {}},
    {"9223372036854775807e-4", Max},
    {"92233720368547758065e-5", Max - 1},
    {"99999999999999999999", {}},
    {"-1e15", {}},
    // not a number of the accepted form
    {"", {}},
    {"   ", {}},
    {"+", {}},
    {"-", {}},
    {"\t12,90", {}},
    {"12,90\t", {}},
    {"1.234,56", {}},
    {"12.90", {}},
    {"R$ 12,90", {}},
    {"12,90 R$", {}},
    {"1 234", {}},
    {"--1", {}},
    {"+-1", {}},
    {"1,2,3", {}},
    {"0x10", {}},
    {"1e", {}},
    {"1e+", {}},
    {"e5", {}},
    {"1 e5", {}},
    {"1e 5", {}},
    {"\xA0"
     "1",
     {}},
    {"1e5,5", {}},
    {"1ee5", {}},
};

TEST(TextoParaPreco, AcceptsTheNumberFormAndRoundsExactly) {
    for (const auto& caso : CasosVirgula)
        EXPECT_EQ(TentaTextoParaPreco(caso.texto, ','), caso.preco) << caso.texto;
    EXPECT_EQ(TentaTextoParaPreco("12.90", '.'), 129000);
    EXPECT_EQ(TentaTextoParaPreco("12,90", '.'), std::nullopt);
}

TEST(TextoParaPreco, FailsWithTheTextAsGiven) {
    EXPECT_EQ(TextoParaPreco(" 1,5 ", Brasil), 15000);
    for (const char* texto : {" 1.234,56 ", "", "'%s'"}) {
        try {
            TextoParaPreco(texto, Brasil);
            ADD_FAILURE() << texto;
        } catch (const EErro& e) {
            EXPECT_EQ(e.Message(),
                      "'" + std::string(texto) + "' is not a valid floating point value");
        }
    }
}

// Every value written out in full digits converts back to itself, and the statement form of
// any value of at most 15 significant digits converts back as well.
TEST(TextoParaPreco, ReadsBackWhatIsWritten) {
    std::mt19937_64 aleatorio(20240601);
    for (int i = 0; i < 20000; ++i) {
        auto preco = static_cast<std::int64_t>(aleatorio()) >> (aleatorio() % 63);
        std::string digitos = std::to_string(preco < 0 ? 0 - static_cast<std::uint64_t>(preco)
                                                       : static_cast<std::uint64_t>(preco));
        std::string texto = (preco < 0 ? "-" : "") + digitos + "e-4";
        ASSERT_EQ(TentaTextoParaPreco(texto, ','), preco) << texto;
        if (digitos.size() <= 15) {
            ASSERT_EQ(TentaTextoParaPreco(PrecoParaSQL(preco), '.'), preco) << preco;
        }
    }
}

TEST(PrecoParaSQL, PlainDecimalWithAtMostFifteenDigits) {
    const std::pair<std::int64_t, const char*> casos[] = {
        {129000, "12.9"},
        {100000, "10"},
        {5000, "0.5"},
        {-12500, "-1.25"},
        {12345678, "1234.5678"},
        {0, "0"},
        {1, "0.0001"},
        {-1, "-0.0001"},
        {10, "0.001"},
        {999999999999999, "99999999999.9999"},
        {1000000000000004, "100000000000"},
        {1000000000000005, "100000000000.001"},
        {123456789012345678, "12345678901234.6"},
        {99999999999999995, "10000000000000"},
        {Max, "922337203685478"},
        {Min, "-922337203685478"},
    };
    for (const auto& [preco, texto] : casos)
        EXPECT_EQ(PrecoParaSQL(preco), texto) << preco;
}

TEST(PrecoParaRelatorio, GroupedWithTwoDecimalsHalvesAwayFromZero) {
    const std::pair<std::int64_t, const char*> casos[] = {
        {12345000, "1.234,50"},
        {0, "0,00"},
        {10050, "1,01"},
        {10049, "1,00"},
        {129000, "12,90"},
        {-12500, "-1,25"},
        {-10050, "-1,01"},
        {50, "0,01"},
        {49, "0,00"},
        {-50, "-0,01"},
        {-49, "0,00"},
        {9999950, "1.000,00"},
        {9990000, "999,00"},
        {12345678901, "1.234.567,89"},
        {Max, "922.337.203.685.477,58"},
        {Min, "-922.337.203.685.477,58"},
    };
    for (const auto& [preco, texto] : casos)
        EXPECT_EQ(PrecoParaRelatorio(preco, Brasil), texto) << preco;
    EXPECT_EQ(PrecoParaRelatorio(12345000, Eua), "1,234.50");
}

} // namespace
