// escreve-connection-conf.exe run as a Windows program: the file it writes read back through
// the system's profile-string reader and the connection settings, and replaced only when asked.
#include "TempDir.h"
#include "connection/ConnectionInfo.h"
#include "platform/ProfileString.h"
#include "tools/MensagensConf.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Runs the tool with its arguments quoted for the command line and returns its exit code.
DWORD RodaFerramenta(const std::vector<std::string>& argumentos) {
    std::string linha = "\"" CADOFERTAS_ESCREVE_CONF "\"";
    for (const auto& a : argumentos)
        linha += " \"" + a + "\"";
    STARTUPINFOA inicio{};
    inicio.cb = sizeof inicio;
    PROCESS_INFORMATION processo{};
    if (!CreateProcessA(nullptr, linha.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &inicio, &processo))
        return static_cast<DWORD>(-1);
    WaitForSingleObject(processo.hProcess, INFINITE);
    DWORD codigo = static_cast<DWORD>(-1);
    GetExitCodeProcess(processo.hProcess, &codigo);
    CloseHandle(processo.hThread);
    CloseHandle(processo.hProcess);
    return codigo;
}

// A value of the file, read by the system's reader and decoded as the program decodes it.
std::string Valor(const std::string& conf, const char* chave) {
    return TConnectionInfo::HexToStr(LeProfileString("connection", chave, "", conf))
        .value_or("<not hex>");
}

class EscreveConfWindows : public testing::Test {
protected:
    TempDir pasta;
    std::string senha = pasta.Write("senha.txt", "s\xE9nha;=\"x\"\r\n");
    std::string Conf() const { return (pasta.Path() / "connection.conf").string(); }
    std::vector<std::string> Argumentos(const std::string& host) const {
        return {"--pasta",         pasta.Path().string(),
                "--host",          host,
                "--banco",         "loja",
                "--usuario",       "leitor",
                "--nome",          "Loja Centro",
                "--senha-arquivo", senha};
    }
};

TEST_F(EscreveConfWindows, TheSystemsReaderReadsWhatTheToolWrote) {
    ASSERT_EQ(RodaFerramenta(Argumentos("localhost:3307")), static_cast<DWORD>(SaidaOk));
    std::string texto = ReadAll(Conf());
    EXPECT_EQ(texto.substr(0, 14), "[connection]\r\n");
    EXPECT_EQ(Valor(Conf(), "Databasename"), "loja");
    EXPECT_EQ(Valor(Conf(), "Usuario"), "leitor");
    EXPECT_EQ(Valor(Conf(), "Senha"), "s\xE9nha;=\"x\"");
    EXPECT_EQ(Valor(Conf(), "DatabaseIP"), "localhost:3307");
    EXPECT_EQ(Valor(Conf(), "Name"), "Loja Centro");
}

TEST_F(EscreveConfWindows, ReplacesTheFileOnlyWhenAskedAndLeavesNothingBehind) {
    ASSERT_EQ(RodaFerramenta(Argumentos("primeiro")), static_cast<DWORD>(SaidaOk));
    const std::string antes = ReadAll(Conf());
    EXPECT_EQ(RodaFerramenta(Argumentos("segundo")), static_cast<DWORD>(SaidaArquivoExiste));
    EXPECT_EQ(ReadAll(Conf()), antes);

    auto substitui = Argumentos("segundo");
    substitui.push_back("--sobrescrever");
    ASSERT_EQ(RodaFerramenta(substitui), static_cast<DWORD>(SaidaOk));
    EXPECT_EQ(Valor(Conf(), "DatabaseIP"), "segundo");
    std::vector<std::string> arquivos;
    for (const auto& e : fs::directory_iterator(pasta.Path()))
        arquivos.push_back(e.path().filename().string());
    std::sort(arquivos.begin(), arquivos.end());
    EXPECT_EQ(arquivos, (std::vector<std::string>{"connection.conf", "senha.txt"}));
}

} // namespace
