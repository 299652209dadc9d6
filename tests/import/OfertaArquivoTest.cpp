#include "import/OfertaArquivo.h"
#include "platform/Erro.h"
#include "platform/LeituraArquivo.h"
#include "platform/Texto.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <vector>

using namespace std::string_literals;

namespace {

struct CasoDivisao {
    std::string texto;
    TLinhasArquivo linhas;
    std::size_t linhaDoNul = 0; // where the NUL that ends the text stands
};

const CasoDivisao CasosDivisao[] = {
    {""s, {}},
    {"\r\n"s, {""}},
    {"\n"s, {""}},
    {"\r"s, {""}},
    {"a"s, {"a"}},
    {"a\r\n"s, {"a"}},
    {"a\rb\nc\r\nd"s, {"a", "b", "c", "d"}},
    {"a\n\rb"s, {"a", "", "b"}},
    {"a\n\r"s, {"a", ""}},
    {"a\r\r\nb\n\nc\r\n"s, {"a", "", "b", "", "c"}},
    {"ab\0cd\r\nef"s, {"ab"}, 1},
    {"\0abc\n"s, {}, 1},
    {"a\r\0b"s, {"a"}, 2},
    {"a\nb\n\0"s, {"a", "b"}, 3},
    // Without UTF-8's mark at its start, every byte stands as it is (Windows-1252).
    {"\xE7\xE3o;\xEF\xBB\xBF\xFF\t \x80\r\n"s, {"\xE7\xE3o;\xEF\xBB\xBF\xFF\t \x80"}},
    {"\xC3\x83;\xE2\x82\xAC\r\n"s, {"\xC3\x83;\xE2\x82\xAC"}},
    {"\xEF\xBB"s, {"\xEF\xBB"}},
    {"\xEF\xBBx\r\n\xEF"s, {"\xEF\xBBx", "\xEF"}},
    {"\xEF\xBB\0"s, {"\xEF\xBB"}, 1},
    // With it ("CSV UTF-8"), each line is turned into Windows-1252: a character that
    // Windows-1252 lacks and a malformed sequence become "?"; the mark is no part of the text.
    {"\xEF\xBB\xBF"
     "BARRAS;DESCRICAO;PRECO;\r\n7891000999999;P\xC3\x83O DE A\xC3\x87\xC3\x9A"
     "CAR;4,99;\r\n"s,
     {"BARRAS;DESCRICAO;PRECO;", "7891000999999;P\xC3O DE A\xC7\xDA"
                                 "CAR;4,99;"}},
    {"\xEF\xBB\xBF\xE2\x82\xAC\xE2\x80\x9C\xC5\xA0\xC3\xBF;\xC5\x81\xE4\xB8\xAD\xF0\x9F\x98\x80x"s,
     {"\x80\x93\x8A\xFF;???x"}},
    {"\xEF\xBB\xBF"
     "a\xC3;\xFF\x80\n\xE2\x82\r\xC3\xA7\xEF\xBB\xBF"s,
     {"a?;??", "?", "\xE7?"}},
    {"\xEF\xBB\xBF"s, {}},
    {"\xEF\xBB\xBF\r\n"s, {""}},
    {"\xEF\xBB\xBF\xC3\xA7\r\xC3\xA3\n\r"s, {"\xE7", "\xE3", ""}},
    {"\xEF\xBB\xBF\0a"s, {}, 1},
    {"\xEF\xBB\xBF"
     "a\r\n\xC3\xA7\0b\r\n"s,
     {"a", "\xE7"},
     2},
};

// The same cases, each in blocks of every size, so that each line end falls on a boundary.
TEST(TDivisorLinhas, SplitsByTheLineEndRulesWhateverTheBlocks) {
    for (const auto& caso : CasosDivisao) {
        EXPECT_EQ(DivideLinhas(caso.texto), caso.linhas) << testing::PrintToString(caso.texto);
        for (std::size_t bloco = 1; bloco <= caso.texto.size(); ++bloco) {
            TLinhasArquivo linhas;
            TDivisorLinhas divisor(linhas);
            for (std::size_t i = 0; i < caso.texto.size(); i += bloco)
                divisor.Acrescenta(std::string_view(caso.texto).substr(i, bloco));
            divisor.Termina();
            EXPECT_EQ(linhas, caso.linhas) << testing::PrintToString(caso.texto) << " " << bloco;
            EXPECT_EQ(divisor.LinhaDoNul(), caso.linhaDoNul) << testing::PrintToString(caso.texto);
        }
    }
}

std::string MensagemDoNul(std::size_t linha) {
    return "O arquivo escolhido n\xE3o \xE9 um arquivo de texto: a linha " + std::to_string(linha) +
           " cont\xE9m um caractere nulo. Salve a planilha como texto separado por \";\" e "
           "escolha o arquivo novamente.";
}

// A text file loads by the line end rules; one with a NUL is refused whole, naming its line.
TEST(CarregaLinhas, LoadsTextFilesByTheLineEndRulesAndRefusesANul) {
    TempDir pasta;
    for (const auto& caso : CasosDivisao) {
        TLinhasArquivo linhas{"previous"};
        const std::string nome = pasta.Write("oferta.csv", caso.texto);
        if (caso.linhaDoNul == 0) {
            CarregaLinhas(nome, linhas);
            EXPECT_EQ(linhas, caso.linhas) << testing::PrintToString(caso.texto);
            continue;
        }
        try {
            CarregaLinhas(nome, linhas);
            ADD_FAILURE() << "loaded " << testing::PrintToString(caso.texto);
        } catch (const EErro& e) {
            EXPECT_EQ(e.Message(), MensagemDoNul(caso.linhaDoNul));
        }
        EXPECT_TRUE(linhas.empty());
    }
}

// A file of several read blocks: a CR LF split between two blocks and lines that span them;
// the same file with a NUL far into it, past the first block, is refused with its line.
TEST(CarregaLinhas, LargeFileWithMixedLineEndsAndANulPastTheFirstBlock) {
    const std::size_t bloco = std::size_t{1} << 20;
    std::string texto;
    TLinhasArquivo esperadas;
    const char* fins[] = {"\r\n", "\n", "\r", "\n\r"};
    for (int i = 0; texto.size() <= 2 * bloco + 12345; ++i) {
        const bool primeiroBloco = texto.size() < bloco;
        std::string linha = "7891000" + std::to_string(i) + ";PRODUTO " + std::to_string(i * 7) +
                            ";" + std::to_string(i % 1000) + ",99;";
        if (primeiroBloco && texto.size() + linha.size() + 2 > bloco)
            linha.resize(bloco - 1 - texto.size(), 'x'); // its CR is the block's last byte
        texto += linha + (primeiroBloco ? "\r\n" : fins[i % 4]);
        esperadas.push_back(linha);
        if (!primeiroBloco && i % 4 == 3)
            esperadas.push_back("");
    }
    ASSERT_EQ(texto.substr(bloco - 1, 2), "\r\n");
    TempDir pasta;
    TLinhasArquivo linhas;
    CarregaLinhas(pasta.Write("grande.csv", texto), linhas);
    EXPECT_EQ(linhas, esperadas);
    CarregaLinhas(pasta.Write("grande.csv", texto), linhas);
    EXPECT_EQ(linhas, esperadas) << "loading the same file twice gives the same lines";

    const std::string comNul = texto + "7891;NUL\0;1,00;\r\nmore\r\n"s;
    try {
        CarregaLinhas(pasta.Write("grande.csv", comNul), linhas);
        ADD_FAILURE() << "a file with a NUL was loaded";
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(), MensagemDoNul(esperadas.size() + 1));
    }
    EXPECT_TRUE(linhas.empty());
}

// The lines share one block of bytes: where one ends and the next begins is kept apart from
// the bytes, so lines that join to the same text are still different lists.
TEST(TLinhasArquivo, LinesKeepTheirBoundsInOneBlock) {
    const TLinhasArquivo linhas{"ab", "", "c\xFF"};
    ASSERT_EQ(linhas.size(), 3u);
    EXPECT_EQ(linhas[0], "ab");
    EXPECT_EQ(linhas[1], "");
    EXPECT_EQ(linhas[2], "c\xFF");
    EXPECT_EQ(linhas.back(), "c\xFF");
    EXPECT_EQ(std::vector<std::string_view>(linhas.begin(), linhas.end()),
              (std::vector<std::string_view>{"ab", "", "c\xFF"}));
    EXPECT_NE(linhas, (TLinhasArquivo{"a", "b", "c\xFF"}));
    EXPECT_NE(linhas, (TLinhasArquivo{"ab", "c\xFF"}));
    EXPECT_NE(linhas, (TLinhasArquivo{"ab", "", "c\xFF", ""}));

    TLinhasArquivo copia = linhas;
    copia.push_back("d");
    EXPECT_EQ(copia[3], "d");
    EXPECT_EQ(linhas.size(), 3u) << "a copy is its own";
    copia.clear();
    EXPECT_TRUE(copia.empty());
    EXPECT_EQ(copia, TLinhasArquivo{});
}

void EsperaFalhaAoAbrir(const std::string& nome, const std::string& caminho, int codigo) {
    TLinhasArquivo linhas{"previous", "lines"};
    try {
        CarregaLinhas(nome, linhas);
        ADD_FAILURE() << "no error for " << nome;
    } catch (const EErro& e) {
        EXPECT_EQ(e.Message(),
                  "Cannot open file \"" + caminho + "\". " + MensagemDoSistema(codigo));
    }
    EXPECT_TRUE(linhas.empty());
}

TEST(CarregaLinhas, FileThatCannotBeOpenedLeavesNoLines) {
    TempDir pasta;
    const std::string dir = pasta.Path().string();
    EsperaFalhaAoAbrir(dir + "/missing.csv", dir + "/missing.csv", ENOENT);
    EsperaFalhaAoAbrir(dir + "/sub/../missing.csv", dir + "/missing.csv", ENOENT);
    EsperaFalhaAoAbrir("relative-missing.csv",
                       (std::filesystem::current_path() / "relative-missing.csv").string(), ENOENT);
    EsperaFalhaAoAbrir(dir, dir, EISDIR);
    const std::string arquivo = pasta.Write("file.csv", "a;b;1;");
    EsperaFalhaAoAbrir(arquivo + "/x.csv", arquivo + "/x.csv", ENOTDIR);
    EXPECT_THROW(LerArquivoInteiro(dir), EErro);
}

TEST(LerArquivoInteiro, ReturnsEveryByteUnchanged) {
    std::string todos;
    for (int i = 0; i < 256 * 300; ++i)
        todos += static_cast<char>(i % 256 ^ i / 256);
    TempDir pasta;
    EXPECT_EQ(LerArquivoInteiro(pasta.Write("binary.bin", todos)), todos);
    EXPECT_EQ(LerArquivoInteiro(pasta.Write("empty.csv", "")), "");
}

} // namespace
