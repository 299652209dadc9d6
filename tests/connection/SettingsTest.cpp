// connection.conf: the profile-string rules, hex decoding, the port split and the store code.
#include "Conf.h"
#include "TempDir.h"
#include "connection/ConfiguraConexao.h"
#include "connection/ConnectionInfo.h"
#include "connection/util.h"
#include "db/MyConnection.h"
#include "platform/ProfileString.h"
#include "platform/Rede.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace std::string_literals;

struct HexRow {
    const char* name;
    std::string stored;
    std::optional<std::string> decoded;
};

class HexToStrTable : public testing::TestWithParam<HexRow> {};

TEST_P(HexToStrTable, Decodes) {
    EXPECT_EQ(TConnectionInfo::HexToStr(GetParam().stored), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Rows, HexToStrTable,
                         testing::Values(HexRow{"lower", "616263", "abc"},
                                         HexRow{"mixed_case", "4a4B", "JK"},
                                         HexRow{"odd_digit_ignored", "6162636", "abc"},
                                         HexRow{"bad_pair", "61zz63", std::nullopt},
                                         HexRow{"blanks_between_pairs", "61 62 63", std::nullopt},
                                         HexRow{"empty", "", ""}, HexRow{"nul_byte", "00", "\0"s},
                                         HexRow{"sign", "+1", std::nullopt},
                                         HexRow{"x_prefix", "0x41", std::nullopt},
                                         HexRow{"letter_after_f", "6G", std::nullopt},
                                         HexRow{"high_bytes", "E3FF80", "\xE3\xFF\x80"s}),
                         [](const auto& info) { return info.param.name; });

TEST(HexToStr, RoundTripsEveryByteValue) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(TConnectionInfo::HexToStr(CodificaHex(all)), all);
}

struct PortRow {
    const char* name;
    std::string host, server;
    int32_t port;
};

class ExtrairPortaTable : public testing::TestWithParam<PortRow> {};

TEST_P(ExtrairPortaTable, Splits) {
    std::string server = "stale";
    int32_t port = -1;
    TConfiguraConexaoBase::ExtrairPorta(GetParam().host, server, port);
    EXPECT_EQ(server, GetParam().server);
    EXPECT_EQ(port, GetParam().port);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExtrairPortaTable,
    testing::Values(PortRow{"plain", "192.168.0.5", "192.168.0.5", 3306},
                    PortRow{"with_port", "192.168.0.5:3307", "192.168.0.5", 3307},
                    PortRow{"colon_only", "srv:", "srv", 3306},
                    PortRow{"letters_after_colon", "srv:abc", "srvabc", 3306},
                    PortRow{"digits_then_letter", "srv:3307x", "srvx", 3307},
                    PortRow{"second_colon", "srv:33:07", "srv:33:07", 3307},
                    PortRow{"both_occurrences", "a:1b:1", "ab", 1},
                    PortRow{"too_big", "srv:99999999999", "srv", 3306},
                    PortRow{"empty", "", "", 3306}, PortRow{"leading_zeros", "h:0080", "h", 80},
                    PortRow{"int_max", "h:2147483647", "h", 2147483647},
                    PortRow{"int_max_plus_one", "h:2147483648", "h", 3306}),
    [](const auto& info) { return info.param.name; });

TEST(Configurar, SetsEveryValueAndTurnsTheLoginPromptOff) {
    TMyConnection c;
    c.SetLoginPrompt(true);
    TConfiguraConexaoMyDac::Configurar(c, "10.0.0.5:3307", "loja", "", "");
    EXPECT_EQ(c.Server(), "10.0.0.5");
    EXPECT_EQ(c.Port(), 3307);
    EXPECT_EQ(c.Database(), "loja");
    EXPECT_EQ(c.Username(), "");
    EXPECT_EQ(c.Password(), "");
    EXPECT_FALSE(c.LoginPrompt());
    EXPECT_FALSE(c.Connected()); // Configurar never connects
}

TEST(LojaParaCodigo, GivesOneCharacterPerBranch) {
    const std::pair<int32_t, std::string> rows[] = {
        {1, "*"},       {0, "0"},         {2, "2"},
        {9, "9"},       {10, "A"},        {35, "Z"},
        {36, "@"},      {37, "#"},        {38, "$"},
        {39, "&"},      {40, "+"},        {41, "-"},
        {42, "!"},      {43, "("},        {44, ")"},
        {45, "="},      {46, "{"},        {47, "}"},
        {48, "["},      {49, "]"},        {50, "<"},
        {51, ">"},      {52, ";"},        {53, ":"},
        {54, "a"},      {59, "f"},        {60, "0"},
        {1000, "0"},    {-1, "/"},        {-48, "\0"s},
        {-49, "\xFF"s}, {INT32_MAX, "0"}, {INT32_MIN, std::string(1, static_cast<char>(48))}};
    for (const auto& [branch, code] : rows)
        EXPECT_EQ(LojaParaCodigo(branch), code) << "branch " << branch;
}

class ProfileString : public testing::Test {
protected:
    TempDir dir;
    std::string Read(const std::string& text, const std::string& section, const std::string& key) {
        auto file = dir.Write("x.ini", text);
        return LeProfileString(section, key, "<default>", file);
    }
};

TEST_F(ProfileString, MatchesSectionAndKeyRegardlessOfCase) {
    EXPECT_EQ(Read("[CONNECTION]\r\ndatabaseip=31\r\n", "connection", "DatabaseIP"), "31");
}

TEST_F(ProfileString, DropsBlanksAndOnePairOfMatchingQuotes) {
    EXPECT_EQ(Read("[s]\nk =  \"ab\"  \n", "s", "k"), "ab");
    EXPECT_EQ(Read("[s]\nk='ab'\n", "s", "k"), "ab");
    EXPECT_EQ(Read("[s]\nk=\"ab'\n", "s", "k"), "\"ab'");
    EXPECT_EQ(Read("[s]\nk=\"\"ab\"\"\n", "s", "k"), "\"ab\"");
}

TEST_F(ProfileString, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(LeProfileString("s", "k", "<default>", (dir.Path() / "none.ini").string()),
              "<default>");
    EXPECT_EQ(Read("[other]\nk=1\n", "s", "k"), "<default>");
    EXPECT_EQ(Read("[s]\nj=1\n", "s", "k"), "<default>");
    EXPECT_EQ(Read("\x01\x02\xff garbage\0\0 [[[ ==="s, "s", "k"), "<default>");
}

TEST_F(ProfileString, KeysOfOtherSectionsAreNotSeen) {
    EXPECT_EQ(Read("[a]\nk=1\n[s]\nj=2\n[b]\nk=3\n", "s", "k"), "<default>");
    EXPECT_EQ(Read("[a]\nk=1\n[s]\nk=2\n", "s", "k"), "2");
}

TEST_F(ProfileString, CutsLongValuesTo2047Characters) {
    EXPECT_EQ(Read("[s]\nk=" + std::string(5000, '7') + "\n", "s", "k"), std::string(2047, '7'));
}

// Where a hand-edited file is odd, the reader answers as Windows' own reader does (each row
// checked against GetPrivateProfileStringA under Wine).
TEST_F(ProfileString, AnswersOddFilesAsTheSystemsReaderDoes) {
    struct Row {
        const char* why;
        std::string text, section, key, value;
    };
    const Row rows[] = {
        {"CR-only line ends", "[s]\rk=1\rj=2\r", "s", "j", "2"},
        {"UTF-8 mark, text read in Windows-1252", "\xEF\xBB\xBF[s]\nk=\xC3\xA7\xE2\x82\xAC\n", "s",
         "k", "\xE7\x80"},
        {"keys before any section form a nameless one", "k=0\n[s]\nk=1\n", "", "k", "0"},
        {"the nameless section comes before []", "[]\nk=1\n", "", "k", "<default>"},
        {"the last bracket ends the name", "[s]x]\nk=1\n", "s]x", "k", "1"},
        {"no closing bracket: not a section", "[s\nk=1\n", "", "k", "1"},
        {"a key without = hides a later one", "[s]\nk\nk=1\n", "s", "k", "<default>"},
        {"indented comment", "[s]\n  ;k=1\nk=2\n", "s", "k", "2"},
        {"Ctrl+Z is a blank", "[s]\x1A\nk=1\x1A\n", "s", "k", "1"},
        {"a quoted value that just fits loses a character",
         "[s]\nk=\"" + std::string(2047, '7') + "\"\n", "s", "k", std::string(2046, '7')},
        {"a quoted value too long keeps its first quote's place",
         "[s]\nk=\"" + std::string(3000, '7') + "\"\n", "s", "k", std::string(2047, '7')},
    };
    for (const auto& r : rows)
        EXPECT_EQ(Read(r.text, r.section, r.key), r.value) << r.why;
}

TEST_F(ProfileString, TheDefaultLosesTheSpacesAtItsEndButNotItsFirstCharacter) {
    auto file = dir.Write("x.ini", "[s]\n");
    EXPECT_EQ(LeProfileString("s", "k", "ab  ", file), "ab");
    EXPECT_EQ(LeProfileString("s", "k", "  ", file), " ");
    EXPECT_EQ(LeProfileString("s", "k", "a\t", file), "a\t");
}

class ConnectionInfoFile : public testing::Test {
protected:
    void SetUp() override { TConnectionInfo::Liberar(); }
    void TearDown() override {
        TConnectionInfo::Liberar();
        RemoveConfBesideProgram();
    }
};

TEST_F(ConnectionInfoFile, WithoutTheFileEveryValueIsEmpty) {
    RemoveConfBesideProgram();
    auto& info = TConnectionInfo::GetInstance();
    EXPECT_EQ(info.GetHost(), ""); // not this machine's address
    EXPECT_EQ(info.GetDatabase(), "");
    EXPECT_EQ(info.GetUser(), "");
    EXPECT_EQ(info.GetPassword(), "");
    EXPECT_EQ(info.GetCodFisica(), 0);
}

TEST_F(ConnectionInfoFile, ReadsTheFileBesideTheProgramNotTheCurrentFolder) {
    RemoveConfBesideProgram();
    TempDir elsewhere;
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    WriteAll(elsewhere.Path() / "connection.conf", "[connection]\nDatabasename=616263\n");
    EXPECT_EQ(TConnectionInfo::GetInstance().GetDatabase(), "");
    std::filesystem::current_path(old);
}

TEST_F(ConnectionInfoFile, DecodesEveryKeyAndReadsTheFileOnlyOnce) {
    ConfValues v;
    v.DatabaseIP = "10.0.0.5:3307";
    v.Databasename = "loja\xE7";
    v.Usuario = "leitor";
    v.Senha = "s\"e\\n'h\0a"s;
    WriteConfBesideProgram(v);
    auto& info = TConnectionInfo::GetInstance();
    EXPECT_EQ(info.GetHost(), "10.0.0.5:3307");
    EXPECT_EQ(info.GetDatabase(), "loja\xE7");
    EXPECT_EQ(info.GetUser(), "leitor");
    EXPECT_EQ(info.GetPassword(), "s\"e\\n'h\0a"s);
    EXPECT_EQ(info.GetCodFisica(), 7);
    EXPECT_EQ(info.GetName(), "Loja Teste");
    EXPECT_EQ(info.GetMacAdress(), "001122334455");
    EXPECT_EQ(info.GetCnpj(), "00000000000191");
    RemoveConfBesideProgram();
    EXPECT_EQ(&TConnectionInfo::GetInstance(), &info);
    EXPECT_EQ(TConnectionInfo::GetInstance().GetUser(), "leitor");
}

TEST_F(ConnectionInfoFile, AValueThatFailsToDecodeIsEmptyAndTheOthersStay) {
    WriteRawConfBesideProgram("[Connection]\nDATABASENAME=61zz\nusuario=\"6A6F\"\nCodFisica=" +
                              CodificaHex("12x") + "\nSenha=7\n");
    auto& info = TConnectionInfo::GetInstance();
    EXPECT_EQ(info.GetDatabase(), "");
    EXPECT_EQ(info.GetUser(), "jo");
    EXPECT_EQ(info.GetCodFisica(), 0);
    EXPECT_EQ(info.GetPassword(), ""); // a single digit makes no pair
}

TEST_F(ConnectionInfoFile, A2049DigitValueIsCutTo2047DigitsBeforeDecoding) {
    WriteRawConfBesideProgram("[connection]\nDatabasename=" + std::string(2049, '4') + "\n");
    EXPECT_EQ(TConnectionInfo::GetInstance().GetDatabase(), std::string(1023, 'D'));
}

TEST_F(ConnectionInfoFile, LocalhostInAnyCaseMeansThisMachinesAddress) {
    const std::pair<std::string, bool> rows[] = {{"localhost", true},   {"LOCALHOST", true},
                                                 {"LocalHost", true},   {" localhost", false},
                                                 {"localhost ", false}, {"localhost:3307", false}};
    for (const auto& [setting, resolved] : rows) {
        TConnectionInfo::Liberar();
        ConfValues v;
        v.DatabaseIP = setting;
        WriteConfBesideProgram(v);
        EXPECT_EQ(TConnectionInfo::GetInstance().GetHost(), resolved ? EnderecoLocal() : setting)
            << setting;
    }
}

TEST(EnderecoLocal, IsADottedIPv4Address) {
    std::string ip = EnderecoLocal();
    int a, b, c, d;
    char tail;
    ASSERT_EQ(std::sscanf(ip.c_str(), "%d.%d.%d.%d%c", &a, &b, &c, &d, &tail), 4) << ip;
    for (int part : {a, b, c, d}) {
        EXPECT_GE(part, 0);
        EXPECT_LE(part, 255);
    }
}
