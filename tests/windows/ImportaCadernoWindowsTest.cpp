// importa-caderno.exe as the chain's IT runs it on a store's Windows: against the demo store on
// the server scripts/test-windows.sh starts, with connection.conf beside the test, its summary
// on standard output, and the console's Ctrl+Break as the stop between two lines.
#include "Conf.h"
#include "TempDir.h"
#include "connection/ConnectionInfo.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Ambiente(const char* nome) {
    const char* valor = std::getenv(nome);
    return valor ? valor : "";
}

// A file the started program writes as its standard output or error.
HANDLE Herdavel(const fs::path& arquivo) {
    SECURITY_ATTRIBUTES herda{sizeof herda, nullptr, TRUE};
    return CreateFileA(arquivo.string().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &herda,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

class ImportaCadernoWindows : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(endereco.empty())
            << "CADOFERTAS_LOJA_ENDERECO is not set: run scripts/test-windows.sh";
        ConfValues v;
        v.DatabaseIP = endereco;
        v.Databasename = "loja_demo";
        v.Usuario = "leitor";
        v.Senha = senha;
        conf = pasta.Write("connection.conf", TextoConnectionConf(v));
        conexao.SetServer(endereco);
        conexao.SetDatabase("loja_demo");
        conexao.SetUsername("root");
        conexao.SetPassword(senha);
        conexao.SetCharset("latin1");
    }

    // Starts the command on the test's console; with largo, its command line given wide (the
    // test's texts read as Windows-1252), as a UTF-8 system would hand it on.
    PROCESS_INFORMATION Inicia(const std::vector<std::string>& argumentos, bool largo = false) {
        std::string linha = "\"" CADOFERTAS_IMPORTA_CADERNO "\"";
        for (const auto& a : argumentos)
            linha += " \"" + a + "\"";
        saida_ = Herdavel(pasta.Path() / "saida.txt");
        erros_ = Herdavel(pasta.Path() / "erros.txt");
        STARTUPINFOW inicio{};
        inicio.cb = sizeof inicio;
        inicio.dwFlags = STARTF_USESTDHANDLES;
        inicio.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        inicio.hStdOutput = saida_;
        inicio.hStdError = erros_;
        PROCESS_INFORMATION processo{};
        const UINT codigo = largo ? 1252 : CP_ACP;
        std::wstring larga(
            static_cast<size_t>(MultiByteToWideChar(codigo, 0, linha.data(),
                                                    static_cast<int>(linha.size()), nullptr, 0)),
            L'\0');
        MultiByteToWideChar(codigo, 0, linha.data(), static_cast<int>(linha.size()), larga.data(),
                            static_cast<int>(larga.size()));
        if (!CreateProcessW(nullptr, larga.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &inicio, &processo))
            ADD_FAILURE() << "CreateProcess failed: " << GetLastError();
        return processo;
    }
    DWORD Espera(PROCESS_INFORMATION& processo) {
        WaitForSingleObject(processo.hProcess, INFINITE);
        DWORD codigo = static_cast<DWORD>(-1);
        GetExitCodeProcess(processo.hProcess, &codigo);
        CloseHandle(processo.hThread);
        CloseHandle(processo.hProcess);
        CloseHandle(saida_);
        CloseHandle(erros_);
        return codigo;
    }
    DWORD Roda(const std::vector<std::string>& argumentos, bool largo = false) {
        PROCESS_INFORMATION processo = Inicia(argumentos, largo);
        return Espera(processo);
    }
    std::vector<std::string> Argumentos(const std::string& arquivo, const std::string& nome) {
        return {arquivo,
                "--nome",
                nome,
                "--inicio",
                "10/12/2026",
                "--fim",
                "2026-12-24",
                "--conf",
                conf,
                "--relatorio",
                (pasta.Path() / "Relatorio.txt").string(),
                "--json"};
    }
    std::string Saida() { return ReadAll(pasta.Path() / "saida.txt"); }
    std::string Erros() { return ReadAll(pasta.Path() / "erros.txt"); }
    std::string Um(const std::string& sql) {
        TMyQuery q{"Q", conexao};
        q.SetSQL(sql);
        q.Open();
        return q.Fields(0).AsString();
    }
    std::string Nome() {
        return "Windows " +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    }

    std::string endereco = Ambiente("CADOFERTAS_LOJA_ENDERECO");
    std::string senha = Ambiente("CADOFERTAS_LOJA_SENHA");
    TempDir pasta;
    std::string conf;
    TMyConnection conexao;
    HANDLE saida_ = INVALID_HANDLE_VALUE, erros_ = INVALID_HANDLE_VALUE;
};

const char* Oferta = "BARRAS;DESCRICAO;PRECO;\r\n"
                     "7891000100103;ARROZ TIPO 1 5 KG;19,90;\r\n"
                     "789;PAO FRANCES KG;12,90;\r\n"
                     "7899999999999;NAO CADASTRADO;1,00;\r\n";

TEST_F(ImportaCadernoWindows, ImportsAndSummarises) {
    const std::string nome = Nome();
    ASSERT_EQ(Roda(Argumentos(pasta.Write("ofertas.csv", Oferta), nome)), 0u) << Erros();
    const std::string id =
        Um("SELECT cadofertas_id FROM cadofertas WHERE descricao = \"" + nome + "\"");
    EXPECT_EQ(Um("SELECT GROUP_CONCAT(produto_id, ':', lojas_leram ORDER BY produto_id) FROM "
                 "prodcadofertas WHERE cadofertas_id = " +
                 id),
              "1:C,6:C");
    EXPECT_NE(Saida().find("\"caderno\": " + id + ", "), std::string::npos) << Saida();
    EXPECT_NE(Saida().find("\"nao_encontrados\": 1, "), std::string::npos) << Saida();
    EXPECT_NE(ReadAll(pasta.Path() / "Relatorio.txt").find("7899999999999"), std::string::npos);
}

// A Brazilian store's folders: the booklet in C:\users\João\Promoções de Março (made in the
// prefix's users folder, and removed afterwards), given as the argument, the report asked for in
// the same folder under a name with accents. Imported, the report written under its name, and the
// summary naming both paths as written.
TEST_F(ImportaCadernoWindows, AFolderWithAccentsAsABrazilianUserNamesIt) {
    ASSERT_EQ(GetACP(), 1252u) << "Wine without the host's pt_BR.UTF-8 locale?";
    const std::wstring usuario = L"C:\\users\\Jo\u00E3o";
    const std::wstring promocoes = usuario + L"\\Promo\u00E7\u00F5es de Mar\u00E7o";
    std::error_code e;
    fs::remove_all(fs::path(usuario), e);
    fs::create_directories(fs::path(promocoes));
    WriteAll(fs::path(promocoes) / L"ofertas de mar\u00E7o.csv", Oferta);
    // The same names in Windows-1252, as a command line of the ANSI code page carries them.
    const std::string pastaAnsi = "C:\\users\\Jo\xE3o\\Promo\xE7\xF5"
                                  "es de Mar\xE7o";
    const std::string arquivo = pastaAnsi + "\\ofertas de mar\xE7o.csv";
    const std::string relatorio = pastaAnsi + "\\Relat\xF3rio mar\xE7o.txt";
    auto argumentos = Argumentos(arquivo, Nome());
    argumentos[10] = relatorio;
    const DWORD codigo = Roda(argumentos);
    const fs::path relatorioW = fs::path(promocoes) / L"Relat\u00F3rio mar\u00E7o.txt";
    const std::string escrito = fs::exists(relatorioW) ? ReadAll(relatorioW) : "";
    fs::remove_all(fs::path(usuario), e);
    ASSERT_EQ(codigo, 0u) << Erros();
    EXPECT_NE(escrito.find("7899999999999"), std::string::npos) << "no report under its name";
    // JSON: UTF-8, each backslash doubled.
    auto json = [](const std::string& utf8) {
        std::string s;
        for (char c : utf8)
            s += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return s;
    };
    const std::string pastaUtf8 = "C:\\users\\Jo\xC3\xA3o\\Promo\xC3\xA7\xC3\xB5"
                                  "es de Mar\xC3\xA7o";
    EXPECT_NE(
        Saida().find("\"arquivo\": \"" + json(pastaUtf8 + "\\ofertas de mar\xC3\xA7o.csv") + "\""),
        std::string::npos)
        << Saida();
    EXPECT_NE(Saida().find("\"relatorio\": \"" +
                           json(pastaUtf8 + "\\Relat\xC3\xB3rio mar\xC3\xA7o.txt") + "\""),
              std::string::npos)
        << Saida();
}

TEST_F(ImportaCadernoWindows, TheCheckWritesNothing) {
    const std::string antes = Um("SELECT CONCAT((SELECT COUNT(*) FROM cadofertas), '/', "
                                 "(SELECT COUNT(*) FROM prodcadofertas))");
    auto argumentos = Argumentos(pasta.Write("ofertas.csv", Oferta), Nome());
    argumentos.push_back("--verificar");
    ASSERT_EQ(Roda(argumentos), 0u) << Erros();
    EXPECT_EQ(Um("SELECT CONCAT((SELECT COUNT(*) FROM cadofertas), '/', "
                 "(SELECT COUNT(*) FROM prodcadofertas))"),
              antes);
    EXPECT_NE(Saida().find("\"verificacao\": true"), std::string::npos) << Saida();
    EXPECT_NE(Saida().find("\"caderno\": null"), std::string::npos) << Saida();
}

TEST_F(ImportaCadernoWindows, AnImpossibleDateIsRefused) {
    auto argumentos = Argumentos(pasta.Write("ofertas.csv", Oferta), Nome());
    argumentos[4] = "31/02/2026";
    EXPECT_EQ(Roda(argumentos), 1u);
    EXPECT_NE(Erros().find("\"31/02/2026\""), std::string::npos) << Erros();
}

// A booklet's name with accents and the euro sign, handed on wide, reaches the store as the
// system's Windows-1252 bytes.
TEST_F(ImportaCadernoWindows, AccentsInTheArgumentsReachTheStoreAsWindows1252) {
    const std::string nome = Nome() + " Mar\xE7o \x80";
    ASSERT_EQ(Roda(Argumentos(pasta.Write("ofertas.csv", Oferta), nome), true), 0u) << Erros();
    EXPECT_EQ(Um("SELECT COUNT(*) FROM cadofertas WHERE descricao = \"" + nome + "\""), "1");
}

// The console's code pages are as they were once the command ends. Where the console's code
// pages cannot be set (Wine without a terminal), the test says so instead of passing.
TEST_F(ImportaCadernoWindows, TheConsolesCodePagesAreRestored) {
    if (!GetConsoleWindow())
        AllocConsole();
    if (!SetConsoleOutputCP(850) || !SetConsoleCP(850))
        GTEST_SKIP() << "this console's code pages cannot be set here (" << GetLastError() << ")";
    auto argumentos = Argumentos(pasta.Write("ofertas.csv", Oferta), Nome());
    argumentos.push_back("--verificar");
    EXPECT_EQ(Roda(argumentos), 0u) << Erros();
    EXPECT_EQ(GetConsoleOutputCP(), 850u);
    EXPECT_EQ(GetConsoleCP(), 850u);
}

// --lojas on Windows: three stores, the third down, in folders named with accents, the first
// store too ("Jundiaí"). The two others are imported, each by a child command of its own, each
// report under its store's name; the third is tried twice and reported unreachable (4); a
// second run skips the two that have the booklet.
TEST_F(ImportaCadernoWindows, LojasWithOneStoreDown) {
    ASSERT_EQ(GetACP(), 1252u) << "Wine without the host's pt_BR.UTF-8 locale?";
    const fs::path lojasW = pasta.Path() / L"lojas de S\u00E3o Paulo";
    const fs::path relatoriosW = pasta.Path() / L"relat\u00F3rios";
    fs::create_directories(lojasW);
    // Each store's .conf name as the file system has it, and as the table names the store.
    const std::map<std::string, std::wstring> arquivoDe = {{"loja_w1", L"Jundia\u00ED"},
                                                           {"loja_w2", L"loja_w2"}};
    const std::map<std::string, std::string> nomeUtf8 = {{"loja_w1", "Jundia\xC3\xAD"},
                                                         {"loja_w2", "loja_w2"}};
    for (const char* banco : {"loja_w1", "loja_w2"}) {
        TMyQuery q{"Q", conexao};
        const std::string b = banco;
        for (const std::string& sql : {"DROP DATABASE IF EXISTS " + b,
                                       "CREATE DATABASE " + b + " DEFAULT CHARACTER SET latin1"}) {
            q.SetSQL(sql);
            q.Execute();
        }
        for (const char* t :
             {"identificacao_servidor", "produto", "barras", "cadofertas", "prodcadofertas"}) {
            q.SetSQL("CREATE TABLE " + b + "." + t + " LIKE loja_demo." + t);
            q.Execute();
            if (std::string(t) != "cadofertas" && std::string(t) != "prodcadofertas") {
                q.SetSQL("INSERT INTO " + b + "." + t + " SELECT * FROM loja_demo." + t);
                q.Execute();
            }
        }
        ConfValues v;
        v.DatabaseIP = endereco;
        v.Databasename = banco;
        v.Usuario = "root";
        v.Senha = senha;
        WriteAll(lojasW / (arquivoDe.at(b) + L".conf"), TextoConnectionConf(v));
    }
    ConfValues fora;
    fora.DatabaseIP = "127.0.0.1:1"; // nothing listens there
    fora.Databasename = "loja_w3";
    fora.Usuario = "root";
    fora.Senha = senha;
    WriteAll(lojasW / L"loja_w3.conf", TextoConnectionConf(fora));
    const std::string arquivo = pasta.Write("ofertas.csv", Oferta);
    const std::vector<std::string> argumentos = {arquivo,
                                                 "--nome",
                                                 "Lojas",
                                                 "--inicio",
                                                 "2026-12-10",
                                                 "--fim",
                                                 "2026-12-24",
                                                 "--lojas",
                                                 pasta.Path().string() + "\\lojas de S\xE3o Paulo",
                                                 "--relatorios",
                                                 pasta.Path().string() + "\\relat\xF3rios",
                                                 "--tentativas",
                                                 "2",
                                                 "--json"};
    EXPECT_EQ(Roda(argumentos), 4u) << Erros() << Saida();
    const std::string primeira = Saida();
    for (const char* loja : {"loja_w1", "loja_w2"}) {
        EXPECT_NE(primeira.find("{\"loja\": \"" + nomeUtf8.at(loja) + "\", \"conf\": "),
                  std::string::npos)
            << primeira;
        EXPECT_EQ(Um(std::string("SELECT COUNT(*) FROM ") + loja + ".cadofertas"), "1");
        EXPECT_TRUE(fs::exists(relatoriosW / (arquivoDe.at(loja) + L".txt"))) << loja;
    }
    EXPECT_NE(primeira.find("\"saida\": 4, \"resultado\": \"inacess\xC3\xADvel (2 tentativas)\""),
              std::string::npos)
        << primeira;
    EXPECT_EQ(Roda(argumentos), 4u) << Erros();
    for (const char* loja : {"loja_w1", "loja_w2"})
        EXPECT_EQ(Um(std::string("SELECT COUNT(*) FROM ") + loja + ".cadofertas"), "1");
    EXPECT_NE(Saida().find("j\xC3\xA1 tem o caderno 1 ("), std::string::npos) << Saida();
}

// Where Wine delivers the console's Ctrl+C, the run stops between two lines with exit code 3;
// where it cannot, the test says so instead of passing.
TEST_F(ImportaCadernoWindows, CtrlCStopsBetweenLines) {
    std::string linhas = "BARRAS;DESCRICAO;PRECO;\r\n";
    for (int i = 0; i < 20000; ++i)
        linhas += "7891000100103;ARROZ;19,90;\r\n";
    // The event goes through a console the test and the command share; run without one (as
    // under ctest), the test makes one.
    if (!GetConsoleWindow())
        AllocConsole();
    const std::string nome = Nome();
    PROCESS_INFORMATION processo = Inicia(Argumentos(pasta.Write("muitas.csv", linhas), nome));
    const std::string busca = "SELECT COUNT(*) FROM cadofertas WHERE descricao = \"" + nome + "\"";
    while (Um(busca) == "0" && WaitForSingleObject(processo.hProcess, 10) == WAIT_TIMEOUT) {
    }
    // Every process on the console gets it; the test itself lets it pass.
    SetConsoleCtrlHandler(nullptr, TRUE);
    const bool enviado = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0;
    if (!enviado)
        TerminateProcess(processo.hProcess, 99);
    const DWORD codigo = Espera(processo);
    if (!enviado)
        GTEST_SKIP() << "GenerateConsoleCtrlEvent failed here (" << GetLastError() << ")";
    EXPECT_EQ(codigo, 3u) << Erros();
    EXPECT_NE(Saida().find("\"parado\": true"), std::string::npos) << Saida();
}

} // namespace
