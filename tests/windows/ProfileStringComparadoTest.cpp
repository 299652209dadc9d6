// Our own profile-string reader, the one the Linux build uses, against the system's
// GetPrivateProfileStringA on the same files: every answer must be the same.
#include "TempDir.h"
#include "platform/ProfileString.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

struct TPergunta {
    std::string Secao, Chave;
};

// Asks both readers every question on the file and lists the answers that differ.
std::string Diferencas(const TempDir& pasta, const std::string& nome, const std::string& texto,
                       const std::vector<TPergunta>& perguntas) {
    std::string arquivo = pasta.Write(nome, texto);
    std::string relato;
    for (const auto& p : perguntas) {
        std::string sistema = LeProfileString(p.Secao, p.Chave, "<padrao>", arquivo);
        std::string nosso = LeProfileStringProprio(p.Secao, p.Chave, "<padrao>", arquivo);
        if (sistema != nosso)
            relato += "[" + p.Secao + "] " + p.Chave + ": system \"" + sistema.substr(0, 60) +
                      "\", ours \"" + nosso.substr(0, 60) + "\"\n";
    }
    return relato;
}

struct TArquivoCaso {
    const char* Caso;
    std::string Texto;
    std::vector<TPergunta> Perguntas;
};

const std::vector<TPergunta> Comuns = {{"connection", "DatabaseIP"}, {"CONNECTION", "databaseip"},
                                       {"Connection", "Senha"},      {"connection", "x"},
                                       {"outra", "DatabaseIP"},      {"", "DatabaseIP"}};

std::vector<TArquivoCaso> Casos() {
    return {
        {"letter case", "[CoNNection]\r\nDATABASEip=1\r\nsenha=2\r\n", Comuns},
        {"blanks around names", "[ connection ]\r\n  DatabaseIP  =  1  \r\n\tSenha\t=\t2\t\r\n",
         Comuns},
        {"quotes", "[connection]\r\nDatabaseIP=\"1\"\r\nSenha='2'\r\nx=\"3'\r\n", Comuns},
        {"quotes and blanks", "[connection]\r\nDatabaseIP= \" 1 \" \r\nSenha=''\r\nx=\"\r\n",
         Comuns},
        {"doubled quotes", "[connection]\r\nDatabaseIP=\"\"1\"\"\r\nSenha='\"2\"'\r\n", Comuns},
        {"one quote", "[connection]\r\nDatabaseIP=\"\r\nSenha='\r\nx=a\"\r\n", Comuns},
        {"comment lines", "; [connection]\r\n[connection]\r\n;DatabaseIP=1\r\nSenha=2 ; not\r\n",
         Comuns},
        {"key before any section", "DatabaseIP=0\r\n[connection]\r\nSenha=2\r\n", Comuns},
        {"duplicate sections",
         "[connection]\r\nDatabaseIP=1\r\n[outra]\r\nx=9\r\n[CONNECTION]\r\nDatabaseIP=2\r\n"
         "Senha=3\r\n",
         Comuns},
        {"duplicate keys", "[connection]\r\nDatabaseIP=1\r\ndatabaseip=2\r\nSenha=\r\nSenha=3\r\n",
         Comuns},
        {"CR-only line ends", "[connection]\rDatabaseIP=1\rSenha=2\r", Comuns},
        {"LF-only line ends", "[connection]\nDatabaseIP=1\nSenha=2\n", Comuns},
        {"no line end at the end", "[connection]\r\nDatabaseIP=1", Comuns},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBF[connection]\r\nDatabaseIP=1\r\nSenha=2\r\n",
         Comuns},
        {"empty value and no equals", "[connection]\r\nDatabaseIP=\r\nSenha\r\nx =\r\n", Comuns},
        {"equals in the value", "[connection]\r\nDatabaseIP=a=b\r\nSenha==\r\n", Comuns},
        {"section without its bracket", "[connection\r\nDatabaseIP=1\r\n", Comuns},
        {"text after the bracket", "[connection] nota\r\nDatabaseIP=1\r\n", Comuns},
        {"blank lines and tabs", "\r\n\t\r\n[connection]\r\n\r\n\tDatabaseIP=1\r\n", Comuns},
        {"bytes above 127", "[connection]\r\nDatabaseIP=\xE7\xE3o\r\nSenha=\xFF\r\n", Comuns},
        {"value of 2046", "[connection]\r\nDatabaseIP=" + std::string(2046, '4') + "\r\n", Comuns},
        {"value of 2047", "[connection]\r\nDatabaseIP=" + std::string(2047, '4') + "\r\n", Comuns},
        {"value of 2048", "[connection]\r\nDatabaseIP=" + std::string(2048, '4') + "\r\n", Comuns},
        {"value of 5000", "[connection]\r\nDatabaseIP=" + std::string(5000, '4') + "\r\n", Comuns},
        {"quoted value of 2047",
         "[connection]\r\nDatabaseIP=\"" + std::string(2047, '4') + "\"\r\n", Comuns},
        {"quoted value of 5000", "[connection]\r\nDatabaseIP='" + std::string(5000, '4') + "'\r\n",
         Comuns},
        {"quoted value of 2046", "[connection]\r\nDatabaseIP='" + std::string(2046, '4') + "'\r\n",
         Comuns},
        {"UTF-8 text after the mark",
         "\xEF\xBB\xBF[connection]\r\nDatabaseIP=\xC3\xA7\xE2\x82\xAC\r\nSenha=\xC3\r\n", Comuns},
        {"empty file", "", Comuns},
        {"last bracket closes the name",
         "[connection]x]\r\nDatabaseIP=1\r\n[connection]\r\n"
         "Senha=2\r\n",
         {{"connection]x", "DatabaseIP"}, {"connection", "Senha"}}},
        {"key without equals before the key", "[connection]\r\nDatabaseIP\r\nDatabaseIP=1\r\n",
         Comuns},
        {"empty section name", "[]\r\nDatabaseIP=1\r\n[ ]\r\nSenha=2\r\n", Comuns},
        {"indented comment", "[connection]\r\n  ;DatabaseIP=1\r\n\t; Senha=2\r\n", Comuns},
        {"end-of-file mark", "[connection]\x1A\r\nDatabaseIP=1\x1A\r\n\x1ASenha=2\r\n\x1A", Comuns},
        {"no-break space",
         "[connection]\r\n\xA0"
         "DatabaseIP=\xA0"
         "1\xA0\r\n",
         Comuns},
        {"separator controls",
         "[connection]\r\n\x1C\x1D"
         "DatabaseIP=\x1E"
         "1\x1F\r\nSenha=\x85"
         "2\x85\r\n",
         Comuns},
        {"vertical tab and form feed", "[connection]\r\n\vDatabaseIP\f=\f1\v\r\n", Comuns},
        {"the file the tool writes",
         "[connection]\r\nDatabaseIP=3132372E302E302E31\r\nDatabasename=6C6F6A61\r\n"
         "Usuario=726F6F74\r\nSenha=\r\nCodFisica=37\r\nNome=4C6F6A61\r\n",
         {{"connection", "DatabaseIP"},
          {"connection", "Databasename"},
          {"connection", "Usuario"},
          {"connection", "Senha"},
          {"connection", "CodFisica"},
          {"connection", "Nome"},
          {"connection", "MacAdress"}}},
    };
}

class ComparaCaso : public testing::TestWithParam<TArquivoCaso> {};

TEST(ComparaPadrao, TheDefaultLosesItsSpacesAtTheEnd) {
    TempDir pasta;
    std::string arquivo = pasta.Write("d.ini", "[connection]\r\n");
    for (std::string padrao : {"", " ", "  ", "a  ", " a", "a\t", "a \t "}) {
        EXPECT_EQ(LeProfileStringProprio("connection", "x", padrao, arquivo),
                  LeProfileString("connection", "x", padrao, arquivo))
            << "[" << padrao << "]";
        EXPECT_EQ(LeProfileStringProprio("connection", "x", padrao, arquivo + ".none"),
                  LeProfileString("connection", "x", padrao, arquivo + ".none"))
            << "[" << padrao << "]";
    }
}

TEST_P(ComparaCaso, BothReadersAnswerAlike) {
    TempDir pasta;
    const auto& caso = GetParam();
    EXPECT_EQ(Diferencas(pasta, "caso.ini", caso.Texto, caso.Perguntas), "") << caso.Caso;
}

INSTANTIATE_TEST_SUITE_P(Arquivos, ComparaCaso, testing::ValuesIn(Casos()),
                         [](const testing::TestParamInfo<TArquivoCaso>& caso) {
                             std::string nome = caso.param.Caso;
                             for (char& c : nome)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return nome;
                         });

// Files put together at random from the pieces a hand-edited file is made of.
std::string ArquivoSorteado(std::mt19937& sorteio) {
    static const std::vector<std::string> pedacos = {"[connection]",
                                                     "[CONNECTION]",
                                                     "[ connection ]",
                                                     "[outra]",
                                                     "[connection",
                                                     "DatabaseIP=1",
                                                     "databaseip = 2 ",
                                                     "Senha=\"3\"",
                                                     "senha='4'",
                                                     "Senha= \" 5 \" ",
                                                     ";Senha=6",
                                                     "x=7",
                                                     "DatabaseIP",
                                                     "=8",
                                                     "",
                                                     "\t",
                                                     "Senha=\"9'",
                                                     "DatabaseIP=",
                                                     "[]",
                                                     "a=b=c",
                                                     "Senha",
                                                     "  ;DatabaseIP=0",
                                                     "[outra]]",
                                                     "x='\"'",
                                                     "[ CONNECTION]x"};
    static const std::vector<std::string> fins = {"\r\n", "\n", "\r"};
    std::string texto;
    int linhas = std::uniform_int_distribution<int>(0, 12)(sorteio);
    for (int i = 0; i < linhas; ++i) {
        texto += pedacos[std::uniform_int_distribution<size_t>(0, pedacos.size() - 1)(sorteio)];
        texto += fins[std::uniform_int_distribution<size_t>(0, fins.size() - 1)(sorteio)];
    }
    return texto;
}

TEST(ComparaSorteados, AThousandFilesOfHandEditedPieces) {
    TempDir pasta;
    std::mt19937 sorteio(20261210);
    std::string relato;
    for (int i = 0; i < 1000 && relato.size() < 4000; ++i) {
        std::string texto = ArquivoSorteado(sorteio);
        std::string dif = Diferencas(pasta, "s" + std::to_string(i) + ".ini", texto, Comuns);
        if (!dif.empty())
            relato += "file " + std::to_string(i) + ":\n" + texto + "\n" + dif + "\n";
    }
    EXPECT_EQ(relato, "");
}

} // namespace
