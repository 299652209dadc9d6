// The paths the program checks, makes full and shows: the file system's bytes as they stand, a
// UTF-8 name shown in the system's text (Windows-1252), a folder's three answers.
#include "platform/Caminho.h"
#include "platform/BibliotecaDinamica.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Changes the current folder for the test's length.
struct NaPasta {
    fs::path antes = fs::current_path();
    explicit NaPasta(const fs::path& pasta) { fs::current_path(pasta); }
    ~NaPasta() { fs::current_path(antes); }
};

TEST(Caminho, TellsFilesFoldersAndLinksApart) {
    TempDir pasta;
    const fs::path base = fs::canonical(pasta.Path());
    // "João/Promoções de Março" as a UTF-8 locale names it, and a name that is no UTF-8.
    const fs::path usuario = base / "Jo\xC3\xA3o";
    const fs::path promocoes = usuario / "Promo\xC3\xA7\xC3\xB5"
                                         "es de Mar\xC3\xA7o";
    fs::create_directories(promocoes);
    const std::string arquivo = (promocoes / "ofertas de mar\xC3\xA7o.csv").string();
    WriteAll(arquivo, "x");
    const std::string latin1 = (base / "mar\xE7o.csv").string();
    WriteAll(latin1, "x");
    fs::create_symlink(arquivo, base / "link");
    fs::create_symlink(base / "nada", base / "quebrado");

    for (const std::string& a : {arquivo, latin1, (base / "link").string()}) {
        EXPECT_TRUE(ExisteArquivo(a)) << a;
        EXPECT_FALSE(ExistePasta(a)) << a;
        EXPECT_TRUE(ExisteAlgo(a)) << a;
        EXPECT_EQ(ConfereAPasta(a), ENOTDIR) << a;
    }
    for (const std::string& p : {promocoes.string(), promocoes.string() + "/", base.string()}) {
        EXPECT_FALSE(ExisteArquivo(p)) << p;
        EXPECT_TRUE(ExistePasta(p)) << p;
        EXPECT_EQ(ConfereAPasta(p), 0) << p;
    }
    const std::string quebrado = (base / "quebrado").string();
    EXPECT_FALSE(ExisteArquivo(quebrado));
    EXPECT_TRUE(ExisteAlgo(quebrado)) << "a dangling link stands there";
    for (const std::string& n : {(base / "nada").string(), arquivo + "/x", std::string()}) {
        EXPECT_FALSE(ExisteArquivo(n)) << n;
        EXPECT_FALSE(ExistePasta(n)) << n;
        EXPECT_FALSE(ExisteAlgo(n)) << n;
        EXPECT_EQ(ConfereAPasta(n), ENOENT) << n;
    }
    EXPECT_EQ(SegueLinks((base / "link").string()), arquivo);
    EXPECT_EQ(SegueLinks(arquivo), arquivo);
}

TEST(Caminho, MakesFullPathsFromTheCurrentFolderAndShowsThemAsTheSystemsText) {
    TempDir pasta;
    const fs::path base = fs::canonical(pasta.Path());
    fs::create_directory(base / "Jo\xC3\xA3o");
    NaPasta aqui(base / "Jo\xC3\xA3o");
    const std::string completo = (base / "Jo\xC3\xA3o" / "Relat\xC3\xB3rio.txt").string();
    EXPECT_EQ(CaminhoCompleto("Relat\xC3\xB3rio.txt"), completo);
    EXPECT_EQ(CaminhoCompleto("../Jo\xC3\xA3o/./Relat\xC3\xB3rio.txt"), completo);
    EXPECT_EQ(CaminhoCompleto(completo), completo);
    EXPECT_EQ(CaminhoCompleto(""), "");
    // UTF-8 names in Windows-1252; bytes that are no UTF-8 as they stand.
    EXPECT_EQ(CaminhoMostrado("Relat\xC3\xB3rio.txt"), base.string() + "/Jo\xE3o/Relat\xF3rio.txt");
    EXPECT_EQ(CaminhoParaTexto("/a/Jo\xC3\xA3o/\xE2\x82\xAC"), "/a/Jo\xE3o/\x80");
    EXPECT_EQ(CaminhoParaTexto("/a/mar\xE7o"), "/a/mar\xE7o");
    EXPECT_EQ(JuntaCaminho("/a/Jo\xC3\xA3o", "connection.conf"), "/a/Jo\xC3\xA3o/connection.conf");
    EXPECT_EQ(JuntaCaminho("/a/", "connection.conf"), "/a/connection.conf");
    EXPECT_EQ(JuntaCaminho("", "connection.conf"), "connection.conf");
}

// The stores' folder is listed, and the reports' folder made, by the system's own calls: files
// only (a link to one counting as one), names with accents as the file system has them.
TEST(Caminho, ListsMakesAndRemovesFolders) {
    TempDir pasta;
    const std::string base = fs::canonical(pasta.Path()).string();
    const std::string lojas = base + "/Lojas de S\xC3\xA3o Paulo";
    ASSERT_TRUE(CriaPastas(lojas + "//Relat\xC3\xB3rios/2026/"));
    EXPECT_TRUE(ExistePasta(lojas + "/Relat\xC3\xB3rios/2026"));
    EXPECT_TRUE(CriaPastas(lojas)) << "a folder that stands already";
    WriteAll(lojas + "/Jundia\xC3\xAD.conf", "x");
    WriteAll(lojas + "/matriz.CONF", "x");
    fs::create_symlink(lojas + "/matriz.CONF", lojas + "/link.conf");
    fs::create_symlink(lojas + "/nada", lojas + "/quebrado.conf");
    auto nomes = ArquivosDaPasta(lojas);
    ASSERT_TRUE(nomes);
    std::sort(nomes->begin(), nomes->end());
    EXPECT_EQ(*nomes,
              (std::vector<std::string>{"Jundia\xC3\xAD.conf", "link.conf", "matriz.CONF"}));
    EXPECT_EQ(ArquivosDaPasta(lojas + "/Relat\xC3\xB3rios/2026"), std::vector<std::string>{});
    EXPECT_FALSE(ArquivosDaPasta(lojas + "/nada"));
    EXPECT_FALSE(ArquivosDaPasta(lojas + "/matriz.CONF"));
    EXPECT_FALSE(CriaPastas(lojas + "/matriz.CONF/sub")) << "a file on the way";

    ApagaPastaDeArquivos(lojas + "/Relat\xC3\xB3rios/2026");
    EXPECT_FALSE(ExisteAlgo(lojas + "/Relat\xC3\xB3rios/2026"));
    WriteAll(lojas + "/Relat\xC3\xB3rios/0.saida", "x");
    ApagaPastaDeArquivos(lojas + "/Relat\xC3\xB3rios");
    EXPECT_FALSE(ExisteAlgo(lojas + "/Relat\xC3\xB3rios"));
    EXPECT_TRUE(ExistePasta(PastaTemporaria()));
}

TEST(BibliotecaDinamica, LoadsFindsAndUnloadsWithItsOwner) {
    TBibliotecaDinamica nenhuma("libnao-existe-cadofertas.so.9");
    EXPECT_FALSE(nenhuma.Carregada());
    EXPECT_EQ(nenhuma.Simbolo("strlen"), nullptr);

    TBibliotecaDinamica c("libc.so.6");
    ASSERT_TRUE(c.Carregada());
    EXPECT_NE(c.Simbolo("strlen"), nullptr);
    EXPECT_EQ(c.Simbolo("nao_existe_cadofertas"), nullptr);
    TBibliotecaDinamica movida = std::move(c);
    EXPECT_FALSE(c.Carregada()); // NOLINT(bugprone-use-after-move): moved from on purpose
    EXPECT_TRUE(movida.Carregada());
    EXPECT_NE(movida.Simbolo("strlen"), nullptr);
    movida = TBibliotecaDinamica();
    EXPECT_FALSE(movida.Carregada());
}

} // namespace
