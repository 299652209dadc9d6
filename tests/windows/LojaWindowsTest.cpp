// The access layer, the start-up and an import as the stores run them: a Windows program, the
// client library as libmariadb.dll beside it, connection.conf beside it too, and the demo store
// on a loopback MariaDB that scripts/test-windows.sh starts (its address and password in the
// environment).
#include "Conf.h"
#include "FakeWindow.h"
#include "RegistroVisualizador.h"
#include "TempDir.h"
#include "connection/ConnectionInfo.h"
#include "connection/Inicio.h"
#include "db/BibliotecaCliente.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "import/ImportaOfertas.h"
#include "import/OfertaArquivo.h"
#include "platform/RegionalSistema.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Ambiente(const char* nome) {
    const char* valor = std::getenv(nome);
    return valor ? valor : "";
}

class LojaWindows : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(endereco.empty())
            << "CADOFERTAS_LOJA_ENDERECO is not set: run scripts/test-windows.sh, which starts "
               "the store";
        conexao.SetServer(endereco);
        conexao.SetDatabase("loja_demo");
        conexao.SetUsername("root");
        conexao.SetPassword(senha);
        conexao.SetCharset("latin1");
        fs::current_path(pasta.Path()); // where the run writes its report
    }
    void TearDown() override {
        fs::current_path(anterior);
        TConnectionInfo::Liberar();
        RemoveConfBesideProgram();
    }
    std::string Um(const std::string& sql) {
        QTemp.SetSQL(sql);
        QTemp.Open();
        std::string valor = QTemp.Fields(0).AsString();
        QTemp.Close();
        return valor;
    }
    void Executa(const std::string& sql) {
        QTemp.SetSQL(sql);
        QTemp.Execute();
    }

    std::string endereco = Ambiente("CADOFERTAS_LOJA_ENDERECO");
    std::string senha = Ambiente("CADOFERTAS_LOJA_SENHA");
    TempDir pasta;
    fs::path anterior = fs::current_path();
    TMyConnection conexao;
    TMyQuery QTemp{"QTemp", conexao};
    TMyQuery QProd{"QProd", conexao};
};

TEST_F(LojaWindows, ConnectsThroughTheWindowsClientLibrary) {
    conexao.Connect();
    EXPECT_TRUE(conexao.Connected());
    EXPECT_EQ(CarregaBibliotecaCliente().NomeArquivo, "libmariadb.dll");
    EXPECT_EQ(Um("SELECT @@character_set_client"), "latin1");
    EXPECT_EQ(Um("SELECT COUNT(*) FROM produto"), "8");
}

TEST_F(LojaWindows, EveryByteTravelsUnchangedBetweenQuotes) {
    std::string todos;
    for (int b = 1; b <= 255; ++b)
        todos += static_cast<char>(b);
    Executa("CREATE TEMPORARY TABLE bytes (v VARCHAR(300)) DEFAULT CHARSET=latin1");
    Executa("INSERT INTO bytes VALUES (\"" + conexao.EscapaTextoAspasDuplas(todos) + "\")");
    EXPECT_EQ(Um("SELECT v FROM bytes"), todos);
}

TEST_F(LojaWindows, TheStartUpAndAnImportAsAStoreRunsThem) {
    ConfValues conf;
    conf.DatabaseIP = endereco;
    conf.Databasename = "loja_demo";
    conf.Usuario = "leitor";
    conf.Senha = senha;
    WriteConfBesideProgram(conf);
    std::string codLoja = PreparaConexao(conexao); // branch 12 of the demo store
    EXPECT_EQ(codLoja, "C");
    conexao.Connect();

    const std::string nome =
        "Ofertas Windows " +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string arquivo = pasta.Write("ofertas.csv", "BARRAS;DESCRICAO;PRECO;\r\n"
                                                     "7891000100103;ARROZ TIPO 1 5 KG;19,90;\r\n"
                                                     "7891000300312;OLEO DE SOJA;6,49;\r\n"
                                                     "789;PAO FRANCES KG;12,90;\r\n"
                                                     "7899999999999;NAO CADASTRADO;1,00;\r\n");
    FakeWindow janela;
    janela.Arquivo = arquivo;
    janela.CadOferta = nome;
    CarregaLinhas(arquivo, janela.Linhas);
    TContextoImportacao contexto{QTemp, QProd, codLoja};
    contexto.Formato = RegionalDoSistema().value(); // the store's comma as decimal separator
    ImportaOfertas(janela, contexto);
    ASSERT_EQ(janela.Mensagens, std::vector<std::string>{"Importação concluída com sucesso!!!"});

    std::string id = Um("SELECT cadofertas_id FROM cadofertas WHERE descricao = \"" + nome + "\"");
    EXPECT_EQ(Um("SELECT GROUP_CONCAT(produto_id, ':', pre_promo, ':', lojas_leram ORDER BY "
                 "produto_id) FROM prodcadofertas WHERE cadofertas_id = " +
                 id),
              "1:19.9000:C,3:6.4900:C,6:12.9000:C");
    EXPECT_EQ(Um("SELECT CONCAT(preco_pro, ' ', dtiniciopromocao, ' ', valid_pro, ' ', "
                 "lojas_leram) FROM produto WHERE produto_id = 3"),
              "6.4900 2026-12-10 2026-12-24 C");

    std::string relatorio = ReadAll(pasta.Path() / "Relatorio.txt");
    EXPECT_NE(relatorio.find("7899999999999"), std::string::npos);
    EXPECT_EQ(relatorio.find("7891000100103"), std::string::npos);
    // The viewer's stand-in, beside this program, records how it was started.
    EXPECT_EQ(RegistroDoVisualizador(pasta.Path()).substr(0, 35),
              "visualizador.exe Relatorio.txt 132\n");
}

} // namespace
