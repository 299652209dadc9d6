// importa-caderno's command line, its progress line and its JSON summary, without a server.
#include "platform/Erro.h"
#include "tools/importa/LeituraJson.h"
#include "tools/importa/OpcoesImporta.h"
#include "tools/importa/Progresso.h"
#include "tools/importa/ResumoImporta.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TempDir.h"

namespace {

struct DateRow {
    const char* text;
    const char* shortFormat;
    TData expected; // DataZero: refused
};

class Dates : public testing::TestWithParam<DateRow> {};

TEST_P(Dates, ReadsIsoAndTheUsersShortFormAndRefusesImpossibleOnes) {
    const DateRow& row = GetParam();
    TFormatSettings formato;
    formato.ShortDateFormat = row.shortFormat;
    if (row.expected == DataZero) {
        try {
            LeData("--inicio", row.text, formato);
            FAIL() << row.text << " was taken";
        } catch (const EErro& e) {
            EXPECT_NE(e.Message().find(std::string("\"") + row.text + "\""), std::string::npos)
                << e.Message();
        }
    } else {
        EXPECT_EQ(LeData("--inicio", row.text, formato), row.expected) << row.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Dates,
                         testing::Values(DateRow{"2026-12-10", "dd/MM/yyyy", {2026, 12, 10}},
                                         DateRow{"10/12/2026", "dd/MM/yyyy", {2026, 12, 10}},
                                         DateRow{"1/2/2026", "d/M/yyyy", {2026, 2, 1}},
                                         DateRow{"12.10.26", "MM.dd.yy", {2026, 12, 10}},
                                         DateRow{"2024-02-29", "dd/MM/yyyy", {2024, 2, 29}},
                                         DateRow{"2026-02-29", "dd/MM/yyyy", DataZero},
                                         DateRow{"31/04/2026", "dd/MM/yyyy", DataZero},
                                         DateRow{"2026-13-01", "dd/MM/yyyy", DataZero},
                                         DateRow{"2026-1-01", "dd/MM/yyyy", DataZero},
                                         DateRow{"10/12/2026 ", "dd/MM/yyyy", DataZero},
                                         DateRow{"10-12-2026", "dd/MM/yyyy", DataZero},
                                         DateRow{"", "dd/MM/yyyy", DataZero},
                                         DateRow{"00/12/2026", "dd/MM/yyyy", DataZero}));

TOpcoesImporta Le(std::vector<std::string> args) {
    return LeOpcoesImporta(args, TFormatSettings::BrasilPadrao());
}

TEST(Options, TheUsualLineAndItsDefaults) {
    const TOpcoesImporta o =
        Le({"o.csv", "--nome", "N", "--inicio", "2026-12-10", "--fim=24/12/2026"});
    EXPECT_EQ(o.Arquivo, "o.csv");
    EXPECT_EQ(o.Nome, "N");
    EXPECT_EQ(o.Inicio, (TData{2026, 12, 10}));
    EXPECT_EQ(o.Fim, (TData{2026, 12, 24}));
    EXPECT_TRUE(o.Promocao);
    EXPECT_FALSE(o.Verificar || o.Mostrar || o.Json);
    EXPECT_EQ(o.Relatorio, "Relatorio.txt");
    EXPECT_EQ(o.Conf, "");
}

TEST(Options, SwitchesAndAFileNamedLikeAnOption) {
    const TOpcoesImporta o = Le({"--nome", "N", "--inicio", "2026-12-10", "--fim", "2026-12-10",
                                 "--sem-preco-promocional", "--verificar", "--mostrar", "--json",
                                 "--relatorio", "r.txt", "--conf", "c.conf", "--", "--x.csv"});
    EXPECT_EQ(o.Arquivo, "--x.csv");
    EXPECT_FALSE(o.Promocao);
    EXPECT_TRUE(o.Verificar && o.Mostrar && o.Json);
    EXPECT_EQ(o.Relatorio, "r.txt");
    EXPECT_EQ(o.Conf, "c.conf");
}

TEST(Options, TheBookletsNameIsTakenAsTheSystemsText) {
    const TOpcoesImporta o = Le({"o.csv", "--nome", "Promo\xC3\xA7\xC3\xA3o \xE2\x82\xAC",
                                 "--inicio", "2026-12-10", "--fim", "2026-12-10"});
    EXPECT_EQ(o.Nome, "Promo\xE7\xE3o \x80");
}

TEST(Options, BadLinesAreRefusedNamingWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{}, "Falta o arquivo de ofertas."},
        {{"a.csv", "b.csv"}, "S\xF3 um arquivo de ofertas por vez."},
        {{"a.csv", "--nome"}, "Falta o valor de --nome."},
        {{"a.csv", "--inicio", "2026-12-10", "--fim", "2026-12-10"}, "Falta --nome."},
        {{"a.csv", "--nome", "N", "--fim", "2026-12-10"}, "Falta --inicio."},
        {{"a.csv", "--verificar=sim"}, "Op\xE7\xE3o desconhecida: --verificar=sim."},
    };
    for (const auto& [args, message] : rows) {
        try {
            Le(args);
            ADD_FAILURE() << message;
        } catch (const EErro& e) {
            EXPECT_EQ(e.Message(), message + "\nUse --help para ver as op\xE7\xF5"
                                             "es.");
        }
    }
    EXPECT_TRUE(Le({"a.csv", "--help"}).Ajuda);
}

TEST(Progress, TheLineTellsDonePercentRateAndTimeLeft) {
    EXPECT_EQ(TProgresso::Linha(250, 1000, 0.5),
              "250 de 1000 linhas (25%), 500 linhas/s, faltam 0:02");
    EXPECT_EQ(TProgresso::Linha(1000, 100000, 1.0),
              "1000 de 100000 linhas (1%), 1000 linhas/s, faltam 1:39");
    EXPECT_EQ(TProgresso::Linha(7, 7, 2.0), "7 de 7 linhas (100%), 4 linhas/s");
    EXPECT_EQ(TProgresso::Linha(0, 0, 0.0), "0 de 0 linhas (100%), 0 linhas/s");
}

TEST(Progress, NothingIsDrawnWhenInactiveAndALineEndClosesWhatWasDrawn) {
    std::ostringstream quiet, shown;
    TProgresso off(quiet, false), on(shown, true);
    for (TProgresso* p : {&off, &on}) {
        p->Inicia(3);
        p->Mostra(1);
        p->Mostra(3);
        p->Encerra();
    }
    EXPECT_EQ(quiet.str(), "");
    // The first line at once, the last one whatever the time, then the line end.
    EXPECT_EQ(shown.str().substr(0, 22), "\r1 de 3 linhas (33%), ");
    EXPECT_NE(shown.str().find("\r3 de 3 linhas (100%), "), std::string::npos);
    EXPECT_EQ(shown.str().back(), '\n');
}

TEST(Summary, JsonEscapesEveryControlAndQuote) {
    EXPECT_EQ(TextoJson("a\"b\\c\n\r\t\x01\x7F\xC3\xA7"),
              "\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u007f\xC3\xA7\"");
    TResumoImporta r;
    r.Arquivo = "o.csv";
    r.Linhas = 3;
    r.Processadas = 2;
    r.Encontrados = 1;
    r.NaoEncontrados = 1;
    r.Parado = true;
    EXPECT_EQ(ResumoJson(r), "{\"arquivo\": \"o.csv\", \"verificacao\": false, \"linhas\": 3, "
                             "\"processadas\": 2, \"encontrados\": 1, \"nao_encontrados\": 1, "
                             "\"caderno\": null, \"relatorio\": null, \"parado\": true, "
                             "\"ja_tem\": null, \"loja\": null, \"filial\": null, "
                             "\"linha\": null, \"saida\": 0, \"erro\": null}\n");
    r.CadOfertas = 42;
    r.Relatorio = "/tmp/R.txt";
    r.Erro = "x";
    r.JaTem = TResumoImporta::TJaTem{7, 12};
    r.Loja = "A";
    r.Filial = 10;
    r.Linha = 3;
    r.Saida = 2;
    EXPECT_NE(
        ResumoJson(r).find("\"caderno\": 42, \"relatorio\": \"/tmp/R.txt\", "
                           "\"parado\": true, \"ja_tem\": {\"caderno\": 7, \"produtos\": 12}, "
                           "\"loja\": \"A\", \"filial\": 10, \"linha\": 3, \"saida\": 2, "
                           "\"erro\": \"x\"}"),
        std::string::npos);
    // A refusal before the file was named: no file.
    EXPECT_EQ(ResumoJson(TResumoImporta{}).rfind("{\"arquivo\": null, ", 0), 0u);
}

// The rollout reads back what each store's command printed: every member, an inner object's
// as "outer.inner", the escapes undone.
TEST(Summary, ReadBackAsTheRolloutReadsIt) {
    TResumoImporta r;
    r.Arquivo = "a \"b\"\\c\n\xC3\xA7.csv";
    r.CadOfertas = 42;
    r.JaTem = TResumoImporta::TJaTem{7, 12};
    r.Erro = "linha\r\n\x01";
    r.Saida = 2;
    const auto m = LeObjetoJson(ResumoJson(r));
    ASSERT_TRUE(m);
    EXPECT_EQ(m->at("arquivo").Texto, r.Arquivo);
    EXPECT_EQ(m->at("caderno").Texto, "42");
    EXPECT_EQ(m->at("caderno").Tipo, TValorJson::Tipo::Numero);
    EXPECT_EQ(m->at("relatorio").Tipo, TValorJson::Tipo::Nulo);
    EXPECT_EQ(m->at("parado").Texto, "false");
    EXPECT_EQ(m->at("ja_tem.caderno").Texto, "7");
    EXPECT_EQ(m->at("ja_tem.produtos").Texto, "12");
    EXPECT_EQ(m->at("saida").Texto, "2");
    EXPECT_EQ(m->at("erro").Texto, *r.Erro);
    for (const char* torto :
         {"", "{", "{\"a\": }", "{\"a\": 1} x", "[1]", "{\"a\" 1}", "{\"a\": \"\\u00\"}"})
        EXPECT_FALSE(LeObjetoJson(torto)) << torto;
}

// The rollout's array of stores, each object read whole, braces and brackets inside strings
// aside.
TEST(Summary, TheStoresOfTheRolloutsSummary) {
    const auto lista = LeListaJson(
        "{\"arquivo\": \"a]{\", \"lojas\": [{\"loja\": \"x}\\\"\", \"resumo\": {\"caderno\": 1}}, "
        "{\"loja\": \"y\", \"resumo\": null}], \"saida\": 0}",
        "lojas");
    ASSERT_TRUE(lista);
    ASSERT_EQ(lista->size(), 2u);
    EXPECT_EQ((*lista)[0].at("loja").Texto, "x}\"");
    EXPECT_EQ((*lista)[0].at("resumo.caderno").Texto, "1");
    EXPECT_EQ((*lista)[1].at("resumo").Tipo, TValorJson::Tipo::Nulo);
    EXPECT_FALSE(LeListaJson("{\"lojas\": [{\"a\": }]}", "lojas"));
    EXPECT_FALSE(LeListaJson("{\"outras\": []}", "lojas"));
    EXPECT_EQ(LeListaJson("{\"lojas\": []}", "lojas")->size(), 0u);
}

TEST(Options, TheRolloutsOptionsAndTheirDefaults) {
    TOpcoesImporta o = Le({"o.csv", "--nome", "N", "--inicio", "2026-12-10", "--fim", "2026-12-10",
                           "--lojas", "a", "--lojas=b"});
    EXPECT_EQ(o.Lojas, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(o.Simultaneas, 8);
    EXPECT_EQ(o.Tentativas, 3);
    EXPECT_EQ(o.Relatorios, "relatorios");
    EXPECT_FALSE(o.ImportarDeNovo);
    o = Le({"o.csv", "--nome", "N", "--inicio", "2026-12-10", "--fim", "2026-12-10", "--lojas", "a",
            "--simultaneas", "16", "--tentativas=5", "--relatorios", "r", "--importar-de-novo"});
    EXPECT_EQ(o.Simultaneas, 16);
    EXPECT_EQ(o.Tentativas, 5);
    EXPECT_EQ(o.Relatorios, "r");
    EXPECT_TRUE(o.ImportarDeNovo);
    EXPECT_TRUE(PedeJson({"a", "--json"}));
    EXPECT_FALSE(PedeJson({"a", "--", "--json"}));
}

TEST(Options, EmptyPathsAndCountsOutOfRangeAreRefused) {
    const std::vector<std::string> base = {"a.csv",      "--nome", "N",         "--inicio",
                                           "2026-12-10", "--fim",  "2026-12-10"};
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"--conf="}, "O valor de --conf est\xE1 vazio."},
        {{"--conf", ""}, "O valor de --conf est\xE1 vazio."},
        {{"--relatorio="}, "O valor de --relatorio est\xE1 vazio."},
        {{"--relatorio", "pasta/"}, "O valor de --relatorio \"pasta/\" n\xE3o \xE9 um arquivo."},
        {{"--lojas", ""}, "O valor de --lojas est\xE1 vazio."},
        {{"--lojas", "l", "--relatorios="}, "O valor de --relatorios est\xE1 vazio."},
        {{"--lojas", "l", "--tentativas", "0"},
         "O valor de --tentativas \"0\" n\xE3o \xE9 um n\xFAmero de 1 a 100."},
        {{"--lojas", "l", "--simultaneas", "x"},
         "O valor de --simultaneas \"x\" n\xE3o \xE9 um n\xFAmero de 1 a 256."},
        {{"--lojas", "l", "--relatorio", "r.txt"},
         "--relatorio n\xE3o vale com --lojas: use --relatorios PASTA."},
        {{"--lojas", "l", "--mostrar"}, "--mostrar n\xE3o vale com --lojas."},
    };
    for (const auto& [mais, message] : rows) {
        std::vector<std::string> args = base;
        args.insert(args.end(), mais.begin(), mais.end());
        try {
            Le(args);
            ADD_FAILURE() << message;
        } catch (const EErro& e) {
            EXPECT_EQ(e.Message(), message + "\nUse --help para ver as op\xE7\xF5"
                                             "es.");
        }
    }
}

} // namespace

// --help, the manual page and the README name every option and every exit code alike.
TEST(Help, TheHelpTheManualPageAndTheReadmeNameEveryOptionAndCode) {
    const std::string ajuda = TextoAjudaImporta();
    const std::string pagina =
        ReadAll(std::filesystem::path(CADOFERTAS_SOURCE_DIR) / "packaging/man/importa-caderno.1");
    const std::string readme = ReadAll(std::filesystem::path(CADOFERTAS_SOURCE_DIR) / "README.md");
    auto roff = [](std::string texto) {
        for (size_t p = 0; (p = texto.find('-', p)) != std::string::npos; p += 2)
            texto.insert(p, "\\");
        return texto;
    };
    for (const char* opcao :
         {"--nome", "--inicio", "--fim", "--sem-preco-promocional", "--verificar", "--relatorio",
          "--conf", "--pular-se-ja-tem", "--mostrar", "--json", "--lojas", "--simultaneas",
          "--relatorios", "--importar-de-novo", "--tentativas"}) {
        EXPECT_NE(ajuda.find(std::string("  ") + opcao + " "), std::string::npos) << opcao;
        EXPECT_NE(pagina.find(roff(opcao)), std::string::npos) << opcao;
        EXPECT_NE(readme.find(opcao), std::string::npos) << opcao;
    }
    // Code 4 and what it means, in each.
    EXPECT_NE(ajuda.find("4 a loja n\xE3o foi alcan\xE7"
                         "ada"),
              std::string::npos);
    const std::u8string_view quatro = u8".B 4\nA loja não foi alcançada";
    EXPECT_NE(
        pagina.find(std::string_view(reinterpret_cast<const char*>(quatro.data()), quatro.size())),
        std::string::npos);
    EXPECT_NE(readme.find("| 4 | the store could not be reached"), std::string::npos);
}
