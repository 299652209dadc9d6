// The console's encodings: the system's Windows-1252 texts written as UTF-8 and back, the
// well-formedness check that decides how a file name is shown, and the regional settings a
// program without Qt reads from the environment.
#include "platform/Console.h"
#include "platform/RegionalSistema.h"
#include "platform/Windows1252.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(Utf8, EveryWindows1252ByteGoesToUtf8AndBack) {
    std::string todos;
    for (int b = 1; b <= 255; ++b)
        todos += static_cast<char>(b);
    const std::string utf8 = ParaUtf8(todos);
    EXPECT_TRUE(EhUtf8(utf8));
    EXPECT_EQ(DeUtf8(utf8), todos);
    EXPECT_EQ(ParaUtf8("\xE7\x80"), "\xC3\xA7\xE2\x82\xAC"); // ç and the euro sign
}

TEST(Utf8, MalformedSequencesAreNoUtf8) {
    const std::pair<std::string, bool> rows[] = {
        {"", true},
        {"abc", true},
        {"\xC3\xA7", true},
        {"\xF0\x9F\x98\x80", true},  // outside Windows-1252, still UTF-8
        {"\xE7", false},             // a Windows-1252 byte alone
        {"\xC3", false},             // cut short
        {"\xC0\xAF", false},         // overlong
        {"\xE0\x80\xAF", false},     // overlong
        {"\xED\xA0\x80", false},     // a surrogate
        {"\xF4\x90\x80\x80", false}, // past U+10FFFF
        {"\x80", false},             // a continuation alone
    };
    for (const auto& [bytes, utf8] : rows)
        EXPECT_EQ(EhUtf8(bytes), utf8) << testing::PrintToString(bytes);
}

TEST(Console, ANameThatIsNoUtf8IsShownByItsWindows1252Bytes) {
#if !defined(_WIN32)
    EXPECT_EQ(CaminhoParaUtf8("/tmp/a\xC3\xA7.csv"), "/tmp/a\xC3\xA7.csv");
    EXPECT_EQ(CaminhoParaUtf8("/tmp/a\xE7.csv"), "/tmp/a\xC3\xA7.csv");
    EXPECT_EQ(ArgumentoParaTexto("Promo\xC3\xA7\xC3\xA3o"), "Promo\xE7\xE3o");
    EXPECT_EQ(TextoParaConsole("Promo\xE7\xE3o"), "Promo\xC3\xA7\xC3\xA3o");
#endif
}

TEST(Regional, AnEnvironmentWithoutAUsersLocaleGivesBrazilianPortuguese) {
#if !defined(_WIN32)
    const TFormatSettings brasil = TFormatSettings::BrasilPadrao();
    for (const char* local : {"C", "POSIX", "xx_YY.UTF-8"}) {
        ::setenv("LC_ALL", local, 1);
        const TFormatSettings f = RegionalDoAmbiente();
        EXPECT_EQ(f.DecimalSeparator, brasil.DecimalSeparator) << local;
        EXPECT_EQ(f.ThousandSeparator, brasil.ThousandSeparator) << local;
        EXPECT_EQ(f.ShortDateFormat, brasil.ShortDateFormat) << local;
        EXPECT_EQ(f.TimeSeparator, brasil.TimeSeparator) << local;
    }
    ::unsetenv("LC_ALL");
#endif
}

} // namespace
