// escreve-connection-conf, run as the real command: the file it writes read back by the
// program's own reader, every byte value, refusing to overwrite, and the password kept out of
// the command line and out of everything the command prints.
#include "tools/EscreveConf.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Conf.h"
#include "Process.h"
#include "TempDir.h"
#include "connection/ConnectionInfo.h"
#include "platform/Executavel.h"
#include "platform/ProfileString.h"

namespace fs = std::filesystem;

namespace {

struct Result {
    int Code = -1;
    std::string Out, Err;
    std::string All() const { return Out + Err; }
};

// Runs the command with the bytes on its standard input.
Result RunTool(const std::vector<std::string>& args, const std::string& input = "",
               const std::string& program = ESCREVE_CONF) {
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    ProgramRun run = RunProgram(all, input);
    return {run.Code, run.Out, run.Err};
}

// Runs the command on a terminal of its own, typing the line when it asks for the password;
// returns everything the terminal showed.
Result RunOnTerminal(const std::vector<std::string>& args, const std::string& typed) {
    std::vector<std::string> all = {ESCREVE_CONF};
    all.insert(all.end(), args.begin(), args.end());
    bool sent = false;
    ProgramRun run = ::RunOnTerminal(all, [&](std::string_view shown, int terminal) {
        if (!sent && shown.find("Senha: ") != std::string_view::npos) {
            // Typed only once the echo is off: the prompt is written before the change.
            ::usleep(200 * 1000);
            if (::write(terminal, typed.data(), typed.size()) < 0)
                ADD_FAILURE() << "could not type";
            sent = true;
        }
    });
    EXPECT_TRUE(sent) << run.Out;
    return {run.Code, run.Out, run.Err};
}

std::string Bytes(int first, int last) {
    std::string s;
    for (int b = first; b <= last; ++b)
        s += static_cast<char>(b);
    return s;
}

std::string Reversed(std::string s) {
    return {s.rbegin(), s.rend()};
}

// What the program's reader makes of one key of the file.
std::string ReadBack(const std::string& file, const char* key) {
    std::string raw = LeProfileString("connection", key, "", file);
    auto decoded = TConnectionInfo::HexToStr(raw);
    EXPECT_TRUE(decoded.has_value()) << key << "=" << raw;
    return decoded.value_or("<not hexadecimal>");
}

class EscreveConfTest : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveConfBesideProgram();
        TConnectionInfo::Liberar();
    }
    void TearDown() override {
        RemoveConfBesideProgram();
        TConnectionInfo::Liberar();
    }
    TempDir dir;
    std::string Conf() const { return (dir.Path() / "connection.conf").string(); }
};

TEST_F(EscreveConfTest, EveryByteValueReadsBackThroughTheProgramsReader) {
    // Beside this test program, where TConnectionInfo reads it.
    const std::string folder = PastaDoExecutavel();
    std::string host = Bytes(1, 255);
    host.erase(host.find(':'), 1); // the colon stands for the port
    const std::string database = Bytes(1, 255);
    const std::string user = Reversed(Bytes(1, 255));
    const std::string mac = Bytes(1, 255);
    const std::string name = Bytes(1, 255) + Bytes(1, 255) + Bytes(1, 255) + Bytes(1, 255);
    const std::string cnpj = Reversed(Bytes(1, 255));
    const std::string password = Bytes(0, 254); // a zero byte and a line end inside
    const std::string passwordFile = dir.Write("senha", password + "\n");

    Result r = RunTool({"--pasta", folder, "--host", host, "--banco", database, "--usuario", user,
                        "--mac", mac, "--codfisica", "-2147483648", "--nome", name, "--cnpj", cnpj,
                        "--senha-arquivo", passwordFile});
    ASSERT_EQ(r.Code, 0) << r.Err;
    const std::string file = TConnectionInfo::CaminhoArquivo();
    EXPECT_EQ(ReadBack(file, "DatabaseIP"), host);
    EXPECT_EQ(ReadBack(file, "Databasename"), database);
    EXPECT_EQ(ReadBack(file, "Usuario"), user);
    EXPECT_EQ(ReadBack(file, "Senha"), password);
    EXPECT_EQ(ReadBack(file, "MacAdress"), mac);
    EXPECT_EQ(ReadBack(file, "Name"), name);
    EXPECT_EQ(ReadBack(file, "Cnpj"), cnpj);

    TConnectionInfo& info = TConnectionInfo::GetInstance();
    EXPECT_EQ(info.GetHost(), host);
    EXPECT_EQ(info.GetDatabase(), database);
    EXPECT_EQ(info.GetUser(), user);
    EXPECT_EQ(info.GetPassword(), password);
    EXPECT_EQ(info.GetMacAdress(), mac);
    EXPECT_EQ(info.GetName(), name);
    EXPECT_EQ(info.GetCnpj(), cnpj);
    EXPECT_EQ(info.GetCodFisica(), -2147483647 - 1);
}

TEST_F(EscreveConfTest, PasswordFromStandardInputWithoutItsLineEnd) {
    const std::string password = Bytes(1, 255);
    Result r = RunTool({"--pasta", dir.Path().string(), "--host", "10.0.0.5:3307", "--banco",
                        "loja", "--usuario", "leitor", "--senha-stdin"},
                       password + "\r\n");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(ReadBack(Conf(), "Senha"), password);
    EXPECT_EQ(ReadBack(Conf(), "DatabaseIP"), "10.0.0.5:3307");
    EXPECT_EQ(ReadBack(Conf(), "CodFisica"), "");

    // Only one line end goes: a password may end in a line end of its own.
    fs::remove(Conf());
    r = RunTool({"--pasta", dir.Path().string(), "--host", "h", "--banco", "b", "--usuario", "u",
                 "--senha-stdin"},
                "abc\n\n");
    ASSERT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(ReadBack(Conf(), "Senha"), "abc\n");
}

TEST_F(EscreveConfTest, TheFileIsTheConnectionSectionInUpperCaseHexWithCrLf) {
    Result r = RunTool({"--pasta", dir.Path().string(), "--host", "srv", "--banco", "b",
                        "--usuario", "u", "--nome", "\xE7z", "--senha-stdin"},
                       "p");
    ASSERT_EQ(r.Code, 0) << r.Err;
    const std::string text = ReadAll(Conf());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line ends in CR LF";
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "[connection]");
    const char* keys[] = {"DatabaseIP", "MacAdress", "CodFisica", "Databasename",
                          "Usuario",    "Senha",     "Name",      "Cnpj"};
    for (int i = 0; i < 8; ++i) {
        const std::string& line = lines[i + 1];
        EXPECT_EQ(line.substr(0, line.find('=')), keys[i]);
        std::string value = line.substr(line.find('=') + 1);
        EXPECT_EQ(value.size() % 2, 0u) << line;
        EXPECT_EQ(value.find_first_not_of("0123456789ABCDEF"), std::string::npos) << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    EXPECT_EQ(lines[7], "Name=" + CodificaHex("\xE7z"));
}

TEST_F(EscreveConfTest, RefusesToOverwriteUnlessAsked) {
    const std::vector<std::string> first = {
        "--pasta", dir.Path().string(), "--host", "primeiro",     "--banco",
        "b",       "--usuario",         "u",      "--senha-stdin"};
    ASSERT_EQ(RunTool(first, "um").Code, 0);
    const std::string before = ReadAll(Conf());

    std::vector<std::string> second = first;
    second[3] = "segundo";
    Result refused = RunTool(second, "dois");
    EXPECT_EQ(refused.Code, SaidaArquivoExiste);
    EXPECT_NE(refused.Err.find("--sobrescrever"), std::string::npos) << refused.Err;
    EXPECT_EQ(ReadAll(Conf()), before);

    second.push_back("--sobrescrever");
    Result replaced = RunTool(second, "dois");
    ASSERT_EQ(replaced.Code, 0) << replaced.Err;
    EXPECT_EQ(ReadBack(Conf(), "DatabaseIP"), "segundo");
    EXPECT_EQ(ReadBack(Conf(), "Senha"), "dois");
    // Nothing left behind from the replacement.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

TEST_F(EscreveConfTest, ThePasswordNeverShows) {
    const std::string password = "SenhaMuitoSecreta-42";
    const std::string hex = CodificaHex(password);
    Result ok = RunTool({"--pasta", dir.Path().string(), "--host", "h", "--banco", "b", "--usuario",
                         "u", "--senha-stdin"},
                        password + "\n");
    ASSERT_EQ(ok.Code, 0) << ok.Err;
    EXPECT_EQ(ok.All().find(password), std::string::npos) << ok.All();
    EXPECT_EQ(ok.All().find(hex), std::string::npos) << ok.All();

    // Given on the command line it is refused, and not repeated back.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--host", "h", "--senha", password},
          std::vector<std::string>{"--host", "h", "--senha=" + password},
          std::vector<std::string>{"--host", "h", "--snha=" + password},
          std::vector<std::string>{"--host", "h", password}}) {
        Result r = RunTool(args);
        EXPECT_EQ(r.Code, SaidaUsoInvalido);
        EXPECT_FALSE(r.Err.empty());
        EXPECT_EQ(r.All().find(password), std::string::npos) << r.All();
    }
}

TEST_F(EscreveConfTest, AtATerminalThePasswordIsAskedForWithoutEcho) {
    const std::string password = "DigitadaNoTerminal";
    Result r = RunOnTerminal({"--pasta", dir.Path().string(), "--host", "h", "--banco", "b",
                              "--usuario", "u", "--senha-stdin"},
                             password + "\n");
    ASSERT_EQ(r.Code, 0) << r.Out;
    EXPECT_NE(r.Out.find("Senha: "), std::string::npos);
    EXPECT_EQ(r.Out.find(password), std::string::npos) << r.Out;
    EXPECT_EQ(ReadBack(Conf(), "Senha"), password);
}

TEST_F(EscreveConfTest, BadValuesWriteNothing) {
    const std::string folder = dir.Path().string();
    struct Case {
        std::vector<std::string> Args;
        int Code;
        std::string Says;
    };
    const std::vector<Case> cases = {
        {{"--banco", "b", "--usuario", "u", "--senha-stdin"}, SaidaUsoInvalido, "--host"},
        {{"--host", "h", "--usuario", "u", "--senha-stdin"}, SaidaUsoInvalido, "--banco"},
        {{"--host", "h", "--banco", "b", "--usuario", "u"}, SaidaUsoInvalido, "--senha-stdin"},
        {{"--host", "srv:99999", "--banco", "b", "--usuario", "u", "--senha-stdin"},
         SaidaUsoInvalido,
         "65535"},
        {{"--host", "srv:33:07", "--banco", "b", "--usuario", "u", "--senha-stdin"},
         SaidaUsoInvalido,
         "PORTA"},
        {{"--host", "h", "--banco", std::string(256, 'b'), "--usuario", "u", "--senha-stdin"},
         SaidaUsoInvalido,
         "255"},
        {{"--host", "h", "--banco", "b", "--usuario", "u", "--nome", std::string(1024, 'n'),
          "--senha-stdin"},
         SaidaUsoInvalido,
         "1023"},
        {{"--host", "h", "--banco", "b", "--usuario", "u", "--codfisica", "12a", "--senha-stdin"},
         SaidaUsoInvalido,
         "--codfisica"},
        {{"--host", "h", "--host", "i", "--banco", "b", "--usuario", "u", "--senha-stdin"},
         SaidaUsoInvalido,
         "mais de uma vez"},
        {{"--host", "h", "--banco", "b", "--usuario", "u", "--senha-arquivo",
          folder + "/nao-existe"},
         SaidaFalha,
         "nao-existe"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--pasta", folder};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        Result r = RunTool(args, "senha");
        EXPECT_EQ(r.Code, c.Code) << c.Says << ": " << r.Err;
        EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
        EXPECT_FALSE(fs::exists(Conf())) << c.Says;
    }
    // A password longer than the connection takes.
    Result longPassword = RunTool(
        {"--pasta", folder, "--host", "h", "--banco", "b", "--usuario", "u", "--senha-stdin"},
        std::string(256, 's'));
    EXPECT_EQ(longPassword.Code, SaidaUsoInvalido);
    EXPECT_FALSE(fs::exists(Conf()));

    Result noFolder = RunTool({"--pasta", folder + "/nao-ha", "--host", "h", "--banco", "b",
                               "--usuario", "u", "--senha-stdin"},
                              "x");
    EXPECT_EQ(noFolder.Code, SaidaFalha);
    EXPECT_NE(noFolder.Err.find("nao-ha"), std::string::npos) << noFolder.Err;
}

TEST_F(EscreveConfTest, WithoutAFolderItWritesBesideItself) {
    // Installed, the command sits beside the import program; here, a copy of it in a folder.
    const fs::path program = dir.Path() / "escreve-connection-conf";
    fs::copy_file(ESCREVE_CONF, program);
    Result r = RunTool({"--host", "beside", "--banco", "b", "--usuario", "u", "--senha-stdin"}, "x",
                       program);
    EXPECT_EQ(r.Code, 0) << r.Err;
    EXPECT_EQ(ReadBack(Conf(), "DatabaseIP"), "beside");
}

// Installed, connection.conf beside the program is a link into /etc that points at nothing
// until the command first runs; the command fills the link's target and leaves the link.
TEST_F(EscreveConfTest, WritesThroughTheLinkBesideItAndKeepsThePasswordPrivate) {
    const fs::path lib = dir.Path() / "lib", etc = dir.Path() / "etc";
    fs::create_directories(lib);
    fs::create_directories(etc);
    const fs::path program = lib / "escreve-connection-conf";
    fs::copy_file(ESCREVE_CONF, program);
    const fs::path target = etc / "connection.conf";
    struct Row {
        const char* Says;
        fs::path LinkTo;
        std::vector<std::string> Extra;
    };
    const Row rows[] = {{"absolute link, new file", target, {}},
                        {"relative link, replaced", "../etc/connection.conf", {"--sobrescrever"}}};
    for (const Row& row : rows) {
        fs::remove(lib / "connection.conf");
        fs::create_symlink(row.LinkTo, lib / "connection.conf");
        std::vector<std::string> args = {"--host",    row.Says, "--banco",      "b",
                                         "--usuario", "u",      "--senha-stdin"};
        args.insert(args.end(), row.Extra.begin(), row.Extra.end());
        Result r = RunTool(args, "segredo", program);
        ASSERT_EQ(r.Code, 0) << row.Says << ": " << r.Err;
        EXPECT_TRUE(fs::is_symlink(lib / "connection.conf")) << row.Says;
        EXPECT_EQ(ReadBack(target, "DatabaseIP"), row.Says);
        EXPECT_NE(r.Out.find(target.string()), std::string::npos) << r.Out;
        // Owner and group read it, no one else; a replaced file keeps the mode it had.
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read)
            << row.Says;
    }
    // Without --sobrescrever, a link whose target exists counts as the file.
    Result refused =
        RunTool({"--host", "h", "--banco", "b", "--usuario", "u", "--senha-stdin"}, "x", program);
    EXPECT_EQ(refused.Code, SaidaArquivoExiste);
    EXPECT_EQ(std::distance(fs::directory_iterator(etc), fs::directory_iterator()), 1);
}

TEST(EscreveConfHelp, ListsEveryOption) {
    Result r = RunTool({"--ajuda"});
    EXPECT_EQ(r.Code, 0);
    for (const char* option :
         {"--pasta", "--host", "--banco", "--usuario", "--senha-arquivo", "--senha-stdin", "--mac",
          "--codfisica", "--nome", "--cnpj", "--sobrescrever"})
        EXPECT_NE(r.Out.find(option), std::string::npos) << option;
}

} // namespace
