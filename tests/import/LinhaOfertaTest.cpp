#include "import/LinhaOferta.h"
#include "platform/Erro.h"

#include <gtest/gtest.h>

namespace {

const TFormatSettings Brasil = TFormatSettings::BrasilPadrao();

TEST(LerLinhaOferta, FieldsByTheFirstThreeSemicolons) {
    const TLinhaOferta casos[] = {
        {"7891234567890", "ARROZ TIPO 1 5 KG", 129000},
        {"789", "desc", 10000},
        {"", "sem barras", 5000},
        {" 789 ", " desc ", 25000},
        {"\"789\"", "\"A B\" \xC7", 1},
    };
    const char* linhas[] = {
        "7891234567890;ARROZ TIPO 1 5 KG;12,90;",
        "789;desc;1,00;extra;more;",
        ";sem barras;,5;",
        " 789 ; desc ;  2,5  ;",
        "\"789\";\"A B\" \xC7;1e-4;;",
    };
    for (std::size_t i = 0; i < std::size(casos); ++i) {
        TLinhaOferta lida = LerLinhaOferta(linhas[i], Brasil);
        EXPECT_EQ(lida.Barras, casos[i].Barras) << linhas[i];
        EXPECT_EQ(lida.Descricao, casos[i].Descricao) << linhas[i];
        EXPECT_EQ(lida.Preco, casos[i].Preco) << linhas[i];
    }
    EXPECT_EQ(LerLinhaOferta("1;d;12.90;", {'.', ','}).Preco, 129000);
}

TEST(LerLinhaOferta, IntoAnObjectInUseReplacesEveryField) {
    TLinhaOferta oferta;
    LerLinhaOferta("7891234567890;ARROZ TIPO 1 5 KG COM UMA DESCRICAO LONGA;12,90;", Brasil,
                   oferta);
    EXPECT_EQ(oferta.Barras, "7891234567890");
    EXPECT_EQ(oferta.Descricao, "ARROZ TIPO 1 5 KG COM UMA DESCRICAO LONGA");
    EXPECT_EQ(oferta.Preco, 129000);
    // Shorter and empty fields leave nothing of the line before.
    LerLinhaOferta("78;PAO;1,5;", Brasil, oferta);
    EXPECT_EQ(oferta.Barras, "78");
    EXPECT_EQ(oferta.Descricao, "PAO");
    EXPECT_EQ(oferta.Preco, 15000);
    LerLinhaOferta(";;2;", Brasil, oferta);
    EXPECT_EQ(oferta.Barras, "");
    EXPECT_EQ(oferta.Descricao, "");
    EXPECT_EQ(oferta.Preco, 20000);
    EXPECT_THROW(LerLinhaOferta("sem separador", Brasil, oferta), EErro);
}

TEST(LerLinhaOferta, PriceThatIsNotANumberFailsWithItsText) {
    const std::pair<const char*, const char*> casos[] = {
        {"789;desc;12,90", ""},
        {"", ""},
        {"no separator at all", ""},
        {"789;desc", ""},
        {"789;desc;;", ""},
        {"789;desc;1.234,56;", "1.234,56"},
        {"789;desc;\t1,00;", "\t1,00"},
        {"789;\"A;B\";1;", "B\""},
    };
    for (const auto& [linha, preco] : casos) {
        try {
            LerLinhaOferta(linha, Brasil);
            ADD_FAILURE() << linha;
        } catch (const EErro& e) {
            EXPECT_EQ(e.Message(),
                      "'" + std::string(preco) + "' is not a valid floating point value");
        }
    }
}

TEST(NormalizaBarras, ZerosInFrontUpToThirteen) {
    const std::pair<const char*, const char*> casos[] = {
        {"789", "0000000000789"},           {"", "0000000000000"},
        {" 789", "000000000 789"},          {"789 ", "000000000789 "},
        {"7891234567890", "7891234567890"}, {"78912345678901", "78912345678901"},
        {"789123456789", "0789123456789"},
    };
    for (const auto& [barras, normal] : casos)
        EXPECT_EQ(NormalizaBarras(barras), normal) << barras;
}

} // namespace
