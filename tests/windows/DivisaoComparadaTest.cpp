// Our split of a command line, the one the Linux build starts the viewer by, against the split
// the C runtime of a started Windows program makes of the same line.
#include "TempDir.h"
#include "platform/Programa.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Starts the stand-in with the line in its own folder and returns what it was given, the
// program's name first; an empty list when it could not be started.
std::vector<std::string> DivisaoDoWindows(const fs::path& pasta, std::string linha) {
    fs::remove(pasta / "argumentos.txt");
    STARTUPINFOA inicio{};
    inicio.cb = sizeof inicio;
    PROCESS_INFORMATION processo{};
    std::string programa = (pasta / "argumentos.exe").string();
    if (!CreateProcessA(programa.c_str(), linha.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        pasta.string().c_str(), &inicio, &processo))
        return {};
    WaitForSingleObject(processo.hProcess, INFINITE);
    CloseHandle(processo.hThread);
    CloseHandle(processo.hProcess);
    std::string registro = ReadAll(pasta / "argumentos.txt");
    std::vector<std::string> partes;
    for (size_t inicioParte = 0, fim; (fim = registro.find('\0', inicioParte)) != std::string::npos;
         inicioParte = fim + 1)
        partes.push_back(registro.substr(inicioParte, fim - inicioParte));
    return partes;
}

std::vector<std::string> NossaDivisao(const std::string& linha) {
    TLinhaDeComando comando = DivideLinhaDeComando(linha);
    std::vector<std::string> partes{comando.Programa};
    partes.insert(partes.end(), comando.Argumentos.begin(), comando.Argumentos.end());
    return partes;
}

class DivisaoComparada : public testing::Test {
protected:
    TempDir pasta;
    void SetUp() override {
        fs::copy_file(CADOFERTAS_ARGUMENTOS_GRAVADOR, pasta.Path() / "argumentos.exe");
    }
    std::string Diferenca(const std::string& linha) {
        auto windows = DivisaoDoWindows(pasta.Path(), linha);
        auto nossa = NossaDivisao(linha);
        if (windows == nossa)
            return "";
        return "[" + linha + "]: Windows " + testing::PrintToString(windows) + ", ours " +
               testing::PrintToString(nossa) + "\n";
    }
};

TEST_F(DivisaoComparada, TheViewersLineAndTheExamplesOfTheSplittingRules) {
    const char* linhas[] = {"argumentos.exe Relatorio.txt 132",
                            "argumentos.exe",
                            "argumentos.exe  a\t\tb   ",
                            "argumentos.exe C:\\Meus Dados\\Relatorio.txt 132",
                            "\"argumentos.exe\" a",
                            "argumentos.exe a \"b c\" d",
                            "argumentos.exe a\"b c\"d",
                            "argumentos.exe \"\" x",
                            "argumentos.exe \"a b",
                            "argumentos.exe a\\\"b",
                            "argumentos.exe \"a\\\\\" b",
                            "argumentos.exe a\\\\\\\"b",
                            "argumentos.exe C:\\a\\\\b\\",
                            "argumentos.exe \"a\"\"b\"",
                            "argumentos.exe \"a\"\"b c\" d",
                            "argumentos.exe n\xE3o \xE7\xE3"};
    std::string relato;
    for (const char* linha : linhas)
        relato += Diferenca(linha);
    EXPECT_EQ(relato, "");
}

TEST_F(DivisaoComparada, TwoHundredLinesOfQuotesBackslashesAndBlanks) {
    const std::vector<std::string> pedacos = {"a",    "b c",  " ",    "\t",     "\"",   "\\",
                                              "\\\\", "\\\"", "\"\"", "\"\"\"", "x\\y", "\xE9"};
    std::mt19937 sorteio(132);
    std::string relato;
    for (int i = 0; i < 200 && relato.size() < 4000; ++i) {
        std::string linha = i % 2 ? "argumentos.exe " : "\"argumentos.exe\" ";
        int n = std::uniform_int_distribution<int>(0, 8)(sorteio);
        for (int j = 0; j < n; ++j)
            linha += pedacos[std::uniform_int_distribution<size_t>(0, pedacos.size() - 1)(sorteio)];
        relato += Diferenca(linha);
    }
    EXPECT_EQ(relato, "");
}

} // namespace
