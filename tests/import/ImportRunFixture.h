#pragma once
// The import run's tests share this: a window without a display that records what the run
// does to it, and a fixture with a real server, its store database and statement handles, an
// offer file and the run itself, returning the statements the server received.
#include "FakeWindow.h"
#include "LojaOfertas.h"
#include "TempDir.h"
#include "TestServer.h"
#include "connection/ConnectionInfo.h"
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "import/ImportWindow.h"
#include "import/ImportaOfertas.h"
#include "platform/Erro.h"
#include "report/ClassImpressao.h"
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace std::string_literals;

inline const char* Db = "loja_imp";
inline const TDataHora Agora{{2026, 12, 9}, 17, 5, 30};
inline TDataHora RelogioFixo() {
    return Agora;
}

class ImportRun : public testing::Test {
protected:
    static void SetUpTestSuite() { TestServer::Shared().CreateStoreDatabase(Db); }

    void SetUp() override {
        auto& s = TestServer::Shared();
        for (const char* t : {"produto", "barras", "cadofertas", "prodcadofertas"})
            s.Exec("TRUNCATE TABLE "s + t, Db);
        s.Exec("DROP TRIGGER IF EXISTS recusa", Db);
        s.Exec("INSERT INTO produto (produto_id, barras, descricao, preco, apagado, tipo) VALUES "
               "(11, '7891000100103', 'ARROZ', 24.9, 'N', 'P'),"
               "(12, '0000000000789', 'PAO', 14.9, 'N', 'P'),"
               "(13, '7891000300305', 'OLEO', 7.99, 'S', 'P'),"
               "(14, '7891000400401', 'ACUCAR', 4.79, 'N', 'I'),"
               "(15, '7891000500507', 'CAFE', 17.9, 'N', 'P')",
               Db);
        s.Exec("INSERT INTO barras (produto_id, barras, apagado) VALUES "
               "(13, '7891000300312', 'N'), (14, '7891000400418', 'N'), (15, '7891000500514', 'S')",
               Db);
        conexao.SetServer(s.Address());
        conexao.SetUsername("root");
        conexao.SetPassword(TestServer::RootPassword);
        conexao.SetDatabase(Db);
        conexao.SetCharset("latin1");
        codLoja = "C";
        std::filesystem::remove("Relatorio.txt");
        std::filesystem::remove(ViewerLog());
        setenv("CADOFERTAS_FAKE_VIEWER_LOG", ViewerLog().c_str(), 1);
    }

    // One log per test: the viewer starts detached, so a viewer a previous test started may
    // still be writing its record when the next test begins.
    static std::string ViewerLog() {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        return (std::filesystem::current_path() /
                ("viewer-"s + test->test_suite_name() + "." + test->name() + ".log"))
            .string();
    }

    // Writes the offer file, loads its lines into the window as the file choice does.
    void Oferta(const std::vector<std::string>& linhasDeDados) {
        std::string texto = "BARRAS;DESCRICAO;PRECO;\r\n";
        janela.Linhas = {"BARRAS;DESCRICAO;PRECO;"};
        for (auto& l : linhasDeDados) {
            texto += l + "\r\n";
            janela.Linhas.push_back(l);
        }
        janela.Arquivo = dir.Write("oferta.csv", texto);
    }

    // Runs the import; returns the statements the run sent, as the server logged them.
    std::vector<std::string> Importa() {
        const size_t mark = TestServer::Shared().Mark();
        TContextoImportacao ctx{QTemp, QProd, codLoja};
        ctx.Formato = formato;
        ctx.Relogio = RelogioFixo;
        ctx.NomeRelatorio = nomeRelatorio;
        try {
            ImportaOfertas(janela, ctx);
        } catch (const EErro& e) {
            erro = e.Message();
        } catch (const EAbort&) {
            abortou = true;
        }
        return ClientStatementsSince(mark);
    }

    std::string Um(const std::string& sql) { return TestServer::Shared().Scalar(sql, Db); }
    std::vector<Row> Linhas(const std::string& sql) { return TestServer::Shared().Query(sql, Db); }

    static std::string Found(const std::string& b) {
        return "select * from produto where barras = \"" + b +
               "\" and apagado <> \"S\" and tipo <> \"I\"";
    }
    static std::string Alt(const std::string& b) {
        return "select * from barras where barras = \"" + b + "\" and apagado <> \"S\"";
    }

    // Waits for the stand-in viewer's record; empty when none came.
    std::string ViewerRecord(bool expectOne) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(expectOne ? 20 : 1);
        while (std::chrono::steady_clock::now() < deadline) {
            if (std::filesystem::exists(ViewerLog())) {
                std::string r = ReadAll(ViewerLog());
                if (r.find("end\n") != std::string::npos)
                    return r;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::filesystem::exists(ViewerLog()) ? ReadAll(ViewerLog()) : "";
    }

    TempDir dir;
    TMyConnection conexao;
    TMyQuery QTemp{"QTemp", conexao};
    TMyQuery QProd{"QProd", conexao};
    FakeWindow janela;
    std::string erro;
    bool abortou = false;
    std::string codLoja; // the store code the run is given
    std::string nomeRelatorio = "Relatorio.txt";
    TFormatSettings formato = TFormatSettings::BrasilPadrao();
};

// A value as a statement must carry it between double quotes: every quote doubled, and every
// backslash doubled where backslashes escape.
inline std::string Escaped(const std::string& value, bool backslashesEscape) {
    std::string out;
    for (char c : value) {
        if (c == '"' || (c == '\\' && backslashesEscape))
            out += c;
        out += c;
    }
    return out;
}

// Every byte value from 1 to 255 but the two line ends and the field separator.
inline std::string EveryByte() {
    std::string all;
    for (int b = 1; b <= 255; ++b)
        if (b != '\r' && b != '\n' && b != ';')
            all += static_cast<char>(b);
    return all;
}
