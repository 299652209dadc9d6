// What only the Windows API can answer: the viewer's launch through WinExec, the offer file's
// share mode, the client library's Windows names and the user's regional settings. The suite
// runs under a Brazilian Portuguese user locale, as the stores' machines do.
#include "RegistroVisualizador.h"
#include "TempDir.h"
#include "db/BibliotecaCliente.h"
#include "db/MyConnection.h"
#include "import/OfertaArquivo.h"
#include "platform/BibliotecaDinamica.h"
#include "platform/Caminho.h"
#include "platform/Erro.h"
#include "platform/LeituraArquivo.h"
#include "platform/PastaDeTrabalho.h"
#include "platform/Rede.h"
#include "platform/RegionalSistema.h"
#include "platform/Texto.h"
#include "report/ClassImpressao.h"

#include <gtest/gtest.h>

#include <winsock2.h>
// after winsock2.h
#include <iphlpapi.h>
#include <windows.h>
// after windows.h
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cerrno>
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

// The library loader behind the client library: a system DLL and its function, none for a name
// that is not there, unloaded with its owner.
TEST(BibliotecaDinamica, LoadsASystemLibraryAndFindsItsFunctions) {
    TBibliotecaDinamica nenhuma("nao-existe-cadofertas.dll");
    EXPECT_FALSE(nenhuma.Carregada());
    TBibliotecaDinamica kernel("kernel32.dll");
    ASSERT_TRUE(kernel.Carregada());
    EXPECT_NE(kernel.Simbolo("GetACP"), nullptr);
    EXPECT_EQ(kernel.Simbolo("NaoExisteCadofertas"), nullptr);
    TBibliotecaDinamica movida = std::move(kernel);
    EXPECT_NE(movida.Simbolo("GetACP"), nullptr);
}

// A Brazilian Windows, as the suite's Wine must be (the host's pt_BR.UTF-8 locale): the ANSI
// code page is Windows-1252, in which every path the program handles is written.
TEST(WindowsBrasileiro, TheAnsiCodePageIsWindows1252) {
    EXPECT_EQ(GetACP(), 1252u) << "Wine without the host's pt_BR.UTF-8 locale?";
    wchar_t nome[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(nome, LOCALE_NAME_MAX_LENGTH);
    EXPECT_EQ(std::wstring(nome), L"pt-BR");
}

// The names as the system's wide calls see them, and the same in the ANSI code page.
std::string Ansi(const std::wstring& texto) {
    int n = WideCharToMultiByte(CP_ACP, 0, texto.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, texto.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return s;
}

// A store user's folders with accents, C:\users\João\Promoções de Março (the prefix's users
// folder), made afresh and removed afterwards, the test's current folder while it runs.
class PastaAcentuada : public testing::Test {
protected:
    const std::wstring usuario = L"C:\\users\\Jo\u00E3o";
    const std::wstring promocoes = usuario + L"\\Promo\u00E7\u00F5es de Mar\u00E7o";
    fs::path anterior = fs::current_path();
    void SetUp() override {
        ASSERT_EQ(GetACP(), 1252u);
        std::error_code e;
        fs::remove_all(fs::path(promocoes), e);
        fs::create_directories(fs::path(promocoes));
        ASSERT_TRUE(SetCurrentDirectoryW(promocoes.c_str()));
    }
    void TearDown() override {
        fs::current_path(anterior);
        std::error_code e;
        fs::remove_all(fs::path(usuario), e);
    }
};

TEST_F(PastaAcentuada, PathsAreCheckedMadeFullAndShownAsWritten) {
    const std::string pasta = "C:\\users\\Jo\xE3o\\Promo\xE7\xF5"
                              "es de Mar\xE7o";
    ASSERT_EQ(Ansi(promocoes), pasta);
    const std::wstring arquivoW = promocoes + L"\\ofertas de mar\u00E7o \u20AC.csv";
    const std::string arquivo = pasta + "\\ofertas de mar\xE7o \x80.csv";
    {
        HANDLE h = CreateFileW(arquivoW.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD escritos = 0;
        WriteFile(h, "BARRAS;DESCRICAO;PRECO;\r\n", 25, &escritos, nullptr);
        CloseHandle(h);
    }
    EXPECT_TRUE(ExisteArquivo(arquivo));
    EXPECT_TRUE(ExisteArquivo("ofertas de mar\xE7o \x80.csv"));
    EXPECT_FALSE(ExistePasta(arquivo));
    EXPECT_TRUE(ExistePasta(pasta));
    EXPECT_TRUE(ExistePasta(pasta + "\\"));
    EXPECT_FALSE(ExisteArquivo(pasta));
    EXPECT_EQ(ConfereAPasta(pasta), 0);
    EXPECT_EQ(ConfereAPasta(arquivo), ENOTDIR);
    EXPECT_EQ(ConfereAPasta(pasta + "\\nada"), ENOENT);
    EXPECT_EQ(CaminhoCompleto("ofertas de mar\xE7o \x80.csv"), arquivo);
    EXPECT_EQ(CaminhoCompleto("..\\Promo\xE7\xF5"
                              "es de Mar\xE7o\\.\\ofertas de mar\xE7o \x80.csv"),
              arquivo);
    EXPECT_EQ(CaminhoMostrado("Relat\xF3rio.txt"), pasta + "\\Relat\xF3rio.txt");
    EXPECT_EQ(JuntaCaminho(pasta, "connection.conf"), pasta + "\\connection.conf");
    EXPECT_EQ(JuntaCaminho("C:\\", "connection.conf"), "C:\\connection.conf");

    // The file the checks name is the one that opens, and a missing one is named as written.
    TLinhasArquivo linhas;
    CarregaLinhas(arquivo, linhas);
    EXPECT_EQ(linhas, TLinhasArquivo{"BARRAS;DESCRICAO;PRECO;"});
    try {
        CarregaLinhas("n\xE3o existe.csv", linhas);
        FAIL() << "loaded a missing file";
    } catch (const EErro& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + pasta + "\\n\xE3o existe.csv\". " +
                                             TextoDoErroWindows(ERROR_FILE_NOT_FOUND));
    }
    // The report written by its name in the code page lands under the same name.
    TImpres impres;
    impres.AddLinha("P\xC3O DE A\xC7\xDA"
                    "CAR",
                    3, -1);
    impres.Grava("Relat\xF3rio mar\xE7o.txt");
    EXPECT_NE(GetFileAttributesW((promocoes + L"\\Relat\u00F3rio mar\u00E7o.txt").c_str()),
              INVALID_FILE_ATTRIBUTES);
}

// Started in a folder that is no place for the user's files, the program works in the user's
// Documents; anywhere else, where it was started.
TEST(PastaDeTrabalho, TheUsersDocumentsForTheProgramsOwnFolderAndTheSystemsFolders) {
    auto conhecida = [](REFKNOWNFOLDERID id) {
        PWSTR p = nullptr;
        std::wstring pasta;
        if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &p)))
            pasta = p;
        CoTaskMemFree(p);
        return pasta;
    };
    const std::wstring documentos = conhecida(FOLDERID_Documents);
    ASSERT_FALSE(documentos.empty());
    wchar_t programa[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, programa, MAX_PATH);
    const std::wstring pastaDoPrograma = fs::path(programa).parent_path().wstring();

    EXPECT_EQ(PastaDeTrabalhoPara(pastaDoPrograma), documentos);
    EXPECT_EQ(PastaDeTrabalhoPara(pastaDoPrograma + L"\\"), documentos);
    EXPECT_EQ(PastaDeTrabalhoPara(conhecida(FOLDERID_ProgramFiles) + L"\\Caderno de Ofertas"),
              documentos);
    EXPECT_EQ(PastaDeTrabalhoPara(conhecida(FOLDERID_Windows)), documentos);
    EXPECT_EQ(PastaDeTrabalhoPara(conhecida(FOLDERID_System)), documentos);
    EXPECT_EQ(PastaDeTrabalhoPara(L""), documentos);
    EXPECT_EQ(PastaDeTrabalhoPara(L"C:\\nao-existe-cadofertas"), documentos)
        << "a folder where nothing can be written";
    TempDir gravavel;
    EXPECT_EQ(PastaDeTrabalhoPara(gravavel.Path().wstring()), gravavel.Path().wstring());
    EXPECT_EQ(PastaDeTrabalhoPara(documentos), documentos);
    EXPECT_TRUE(fs::is_empty(gravavel.Path())) << "the trial file is removed";

    EXPECT_TRUE(DentroDaPasta(L"C:\\Program Files\\Caderno", L"c:/program files/"));
    EXPECT_TRUE(DentroDaPasta(L"C:\\PROGRAM FILES", L"C:\\Program Files"));
    EXPECT_FALSE(DentroDaPasta(L"C:\\Program Filesx", L"C:\\Program Files"));
    EXPECT_FALSE(DentroDaPasta(L"C:\\Program", L"C:\\Program Files"));
    EXPECT_TRUE(DentroDaPasta(L"C:\\users\\Jo\u00C3O", L"C:\\Users\\jo\u00E3o"));
    EXPECT_TRUE(DentroDaPasta(L"C:\\qualquer", L"C:\\"));
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
