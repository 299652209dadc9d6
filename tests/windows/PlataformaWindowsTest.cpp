// What only the Windows API can answer: the viewer's launch through WinExec, the offer file's
// share mode, the client library's Windows names and the user's regional settings. The suite
// runs under a Brazilian Portuguese user locale, as the stores' machines do.
#include "RegistroVisualizador.h"
#include "TempDir.h"
#include "db/BibliotecaCliente.h"
#include "db/MyConnection.h"
#include "import/OfertaArquivo.h"
#include "platform/Erro.h"
#include "platform/LeituraArquivo.h"
#include "platform/Rede.h"
#include "platform/RegionalSistema.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"

#include <gtest/gtest.h>

#include <winsock2.h>
// after winsock2.h
#include <iphlpapi.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

// Runs the test in a folder of its own as the current folder, and goes back afterwards.
class NaPasta : public testing::Test {
protected:
    TempDir pasta;
    fs::path anterior = fs::current_path();
    void SetUp() override { fs::current_path(pasta.Path()); }
    void TearDown() override { fs::current_path(anterior); }
};

// Another program's handle on the file, closed when the object goes.
class TOutroPrograma {
public:
    TOutroPrograma(const std::string& arquivo, DWORD acesso, DWORD compartilha)
        : h_(CreateFileA(arquivo.c_str(), acesso, compartilha, nullptr, OPEN_EXISTING, 0,
                         nullptr)) {}
    ~TOutroPrograma() {
        if (Aberto())
            CloseHandle(h_);
    }
    bool Aberto() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

using Viewer = NaPasta;

TEST_F(Viewer, TheReportStartsTheViewerBesideTheProgramWithItsCommandLine) {
    TImpres impres;
    impres.AddLinha("Produto ausente", 3, -1);
    ASSERT_TRUE(impres.Visualiza("Relatorio.txt"));
    EXPECT_EQ(RegistroDoVisualizador(pasta.Path()),
              "visualizador.exe Relatorio.txt 132\n" + fs::current_path().string() + "\n");
    EXPECT_NE(ReadAll(pasta.Path() / "Relatorio.txt").find("Produto ausente"), std::string::npos);
}

using ShareMode = NaPasta;

TEST_F(ShareMode, AFileOpenForWritingElsewhereCannotBeLoaded) {
    std::string arquivo = pasta.Write("ofertas.txt", "7891;ARROZ;1,00\r\n");
    TOutroPrograma escritor(arquivo, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(escritor.Aberto());
    TLinhasArquivo linhas;
    try {
        CarregaLinhas("ofertas.txt", linhas);
        FAIL() << "loaded a file another program is writing";
    } catch (const EErro& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + arquivo + "\". " +
                                             TextoDoErroWindows(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(linhas.size(), 0u);
}

TEST_F(ShareMode, AFileOpenForReadingElsewhereLoads) {
    std::string arquivo = pasta.Write("ofertas.txt", "7891;ARROZ;1,00\r\n7892;FEIJAO;2,00\r\n");
    TOutroPrograma leitor(arquivo, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_TRUE(leitor.Aberto());
    TLinhasArquivo linhas;
    CarregaLinhas(arquivo, linhas);
    ASSERT_EQ(linhas.size(), 2u);
    EXPECT_EQ(linhas[1], "7892;FEIJAO;2,00");
}

TEST_F(ShareMode, AMissingFileIsNamedByItsFullWindowsPath) {
    TLinhasArquivo linhas;
    try {
        CarregaLinhas("nao-existe.txt", linhas);
        FAIL() << "loaded a missing file";
    } catch (const EErro& e) {
        char completo[MAX_PATH] = {};
        GetFullPathNameA("nao-existe.txt", MAX_PATH, completo, nullptr);
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + std::string(completo) + "\". " +
                                             TextoDoErroWindows(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(std::string(completo).substr(1, 2), ":\\");
    }
}

TEST_F(ShareMode, WhileLoadingOthersMayReadButNotWrite) {
    std::string arquivo = pasta.Write("ofertas.txt", "7891;ARROZ;1,00\r\n");
    TArquivoLeitura nosso(arquivo);
    EXPECT_TRUE(TOutroPrograma(arquivo, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).Aberto());
    TOutroPrograma escritor(arquivo, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_FALSE(escritor.Aberto());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

// The client library is looked for by LoadLibrary's search, which takes in the current folder:
// each case puts there the DLLs it needs.
class ClientLibrary : public NaPasta {
protected:
    void PoeBibliotecaVazia(const char* nome) {
        fs::copy_file(fs::path(CADOFERTAS_BIBLIOTECA_VAZIA), pasta.Path() / nome);
    }
    static std::string Falha(const std::vector<std::string>& nomes = {}) {
        try {
            CarregaBibliotecaCliente(nomes);
        } catch (const EErro& e) {
            return e.what();
        }
        return "loaded";
    }
};

TEST_F(ClientLibrary, TheWindowsNamesInOrder) {
    EXPECT_EQ(NomesBibliotecaCliente(),
              (std::vector<std::string>{"libmariadb.dll", "libmysql.dll"}));
}

TEST_F(ClientLibrary, NoneFoundNamesTheFirst) {
    EXPECT_EQ(Falha(), "Dynamic library libmariadb.dll not found");
    TMyConnection conexao;
    conexao.SetServer("127.0.0.1");
    try {
        conexao.Connect();
        FAIL() << "connected without a client library";
    } catch (const EErro& e) {
        EXPECT_EQ(std::string(e.what()), "Dynamic library libmariadb.dll not found");
    }
}

TEST_F(ClientLibrary, TheSecondNameIsTriedWhenTheFirstIsMissing) {
    PoeBibliotecaVazia("libmysql.dll");
    EXPECT_EQ(Falha(), "Function mysql_init not found in libmysql.dll");
}

TEST_F(ClientLibrary, TheFirstNameWinsWhenBothArePresent) {
    PoeBibliotecaVazia("libmysql.dll");
    PoeBibliotecaVazia("libmariadb.dll");
    EXPECT_EQ(Falha(), "Function mysql_init not found in libmariadb.dll");
}

// The IPv4 addresses of this machine's network adapters, as the adapter list gives them.
std::vector<std::string> EnderecosDosAdaptadores() {
    ULONG tamanho = 0;
    GetAdaptersInfo(nullptr, &tamanho);
    std::vector<char> buffer(tamanho);
    auto* adaptador = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data());
    std::vector<std::string> enderecos;
    if (GetAdaptersInfo(adaptador, &tamanho) != NO_ERROR)
        return enderecos;
    for (; adaptador; adaptador = adaptador->Next)
        for (auto* ip = &adaptador->IpAddressList; ip; ip = ip->Next)
            enderecos.push_back(ip->IpAddress.String);
    return enderecos;
}

// Winsock resolves the machine's own name to its adapters' addresses (where Linux's resolver
// may give a loopback one from /etc/hosts).
TEST(EnderecoLocal, IsAnAddressOfThisMachinesAdapters) {
    auto enderecos = EnderecosDosAdaptadores();
    std::string ip = EnderecoLocal();
    EXPECT_NE(std::find(enderecos.begin(), enderecos.end(), ip), enderecos.end())
        << ip << " among " << testing::PrintToString(enderecos);
}

TEST(RegionalDoSistema, TheStoresBrazilianPortugueseSettings) {
    char local[16] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SNAME, local, sizeof local);
    // Under Wine the suite's environment chooses it; a Windows machine has its user's own.
    if (std::string(local) != "pt-BR")
        GTEST_SKIP() << "the user's locale is " << local << ", not pt-BR";
    auto f = RegionalDoSistema();
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->DecimalSeparator, ',');
    EXPECT_EQ(f->ThousandSeparator, '.');
    EXPECT_EQ(f->DateSeparator, '/');
    EXPECT_EQ(f->TimeSeparator, ':');
    EXPECT_EQ(f->ShortDateFormat, "dd/MM/yyyy");
}

// The user's own choices in the control panel, set for the test and put back after it.
class EscolhaDoUsuario {
public:
    EscolhaDoUsuario(LCTYPE tipo, const char* valor) : tipo_(tipo) {
        char antes[80] = {};
        GetLocaleInfoA(LOCALE_USER_DEFAULT, tipo, antes, sizeof antes);
        antes_ = antes;
        SetLocaleInfoA(LOCALE_USER_DEFAULT, tipo, valor);
    }
    ~EscolhaDoUsuario() { SetLocaleInfoA(LOCALE_USER_DEFAULT, tipo_, antes_.c_str()); }

private:
    LCTYPE tipo_;
    std::string antes_;
};

TEST(RegionalDoSistema, TheUsersOwnChoicesWin) {
    EscolhaDoUsuario decimal(LOCALE_SDECIMAL, ".");
    EscolhaDoUsuario milhar(LOCALE_STHOUSAND, ",");
    EscolhaDoUsuario data(LOCALE_SSHORTDATE, "yyyy-MM-dd");
    EscolhaDoUsuario hora(LOCALE_STIME, ".");
    auto f = RegionalDoSistema();
    ASSERT_TRUE(f.has_value());
    EXPECT_EQ(f->DecimalSeparator, '.');
    EXPECT_EQ(f->ThousandSeparator, ',');
    EXPECT_EQ(f->DateSeparator, '-');
    EXPECT_EQ(f->TimeSeparator, '.');
    EXPECT_EQ(f->ShortDateFormat, "yyyy-MM-dd");
}

} // namespace
