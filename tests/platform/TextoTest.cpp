#include "platform/Texto.h"
#include "platform/CursorEspera.h"
#include "platform/DataHora.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <string>

TEST(Trim, RemovesControlCharactersAndBlanksFromBothEnds) {
    EXPECT_EQ(Trim(std::string("\t\r\n  a b \x01\x1f ")), "a b");
    EXPECT_EQ(Trim(std::string("\x7f"
                               "x\xa0")),
              "\x7f"
              "x\xa0"); // only codes 32 and below
    EXPECT_EQ(Trim(std::string(3, '\0')), "");
}

TEST(AgrupaMilhares, GroupsByThreeFromTheRight) {
    EXPECT_EQ(AgrupaMilhares("0", '.'), "0");
    EXPECT_EQ(AgrupaMilhares("999", '.'), "999");
    EXPECT_EQ(AgrupaMilhares("1000", '.'), "1.000");
    EXPECT_EQ(AgrupaMilhares("1234567", ' '), "1 234 567");
}

TEST(Formata, ReplacesEachPlaceholderInOrder) {
    EXPECT_EQ(Formata("Cannot open file \"%s\". %s", {"/a b", "No such file"}),
              "Cannot open file \"/a b\". No such file");
    EXPECT_EQ(Formata("%s%%s", {"x"}), "x%%s"); // only as many as given are replaced
}

#if !defined(_WIN32)
// A Brazilian Linux translates the system's texts into UTF-8; a box showing them as
// Windows-1252 read "diretÃ³rio".
TEST(MensagemDoSistema, ATranslatedTextComesBackAsWindows1252) {
    const std::string antes = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "pt_BR.UTF-8"))
        GTEST_SKIP() << "no pt_BR.UTF-8 locale on this machine";
    const std::string texto = MensagemDoSistema(ENOENT);
    std::setlocale(LC_ALL, antes.c_str());
    EXPECT_EQ(texto, "Arquivo ou diret\xF3rio inexistente");
}
#endif

TEST(TData, ValidityAndEightDigitForm) {
    EXPECT_TRUE((TData{2024, 2, 29}).Valida());
    EXPECT_FALSE((TData{2023, 2, 29}).Valida());
    EXPECT_FALSE((TData{1900, 2, 29}).Valida());
    EXPECT_TRUE((TData{2000, 2, 29}).Valida());
    EXPECT_EQ((TData{2026, 1, 5}).ParaAAAAMMDD(), "20260105");
    EXPECT_EQ(DataZero.ParaAAAAMMDD(), "18991230");
    EXPECT_EQ((TData{987, 3, 4}).ParaAAAAMMDD(), "09870304");
    EXPECT_EQ((TData{9999, 12, 31}).ParaAAAAMMDD(), "99991231");
    EXPECT_EQ((TData{0, 0, 0}).ParaAAAAMMDD(), "00000000");
    // Outside four digits of year the fields keep their own widths.
    EXPECT_EQ((TData{12345, 1, 2}).ParaAAAAMMDD(), "123450102");
    EXPECT_EQ((TData{-5, 1, 2}).ParaAAAAMMDD(), "-0050102");
    EXPECT_LT((TData{2026, 1, 5}), (TData{2026, 1, 6}));
}

namespace {
int mostrados = 0, restaurados = 0;
void Mostra() {
    ++mostrados;
}
void Restaura() {
    ++restaurados;
}
} // namespace

TEST(TCursorEspera, OnlyTheOutermostOfNestedOnesShowsAndRestores) {
    mostrados = restaurados = 0;
    DefineCursorEspera(Mostra, Restaura);
    {
        TCursorEspera linha;
        EXPECT_EQ(mostrados, 1);
        for (int i = 0; i < 3; ++i) {
            TCursorEspera comando;
            TCursorEspera conexao;
        }
        EXPECT_EQ(mostrados, 1);
        EXPECT_EQ(restaurados, 0);
    }
    EXPECT_EQ(restaurados, 1);
    { TCursorEspera sozinho; }
    EXPECT_EQ(mostrados, 2);
    EXPECT_EQ(restaurados, 2);
    DefineCursorEspera(nullptr, nullptr);
    { TCursorEspera semJanela; }
    EXPECT_EQ(mostrados, 2);
}
