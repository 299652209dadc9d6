#include "Loja.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

// ---------------------------------------------------------------------------------------------
// The store's data and the offer file.

enum class Caso { Produto, Barras, Ausente };

// Seven lines in ten are found in `produto`, one only in `barras`, two nowhere, mixed
// through the file.
Caso CasoDaLinha(int i) {
    switch (i % 10) {
    case 2:
        return Caso::Barras;
    case 5:
    case 9:
        return Caso::Ausente;
    default:
        return Caso::Produto;
    }
}

// The barcode of data line i as the file holds it: mostly 13 digits, every 16th an 8-digit
// one that the lookup pads with zeros.
std::string BarrasDaLinha(int i) {
    char texto[32];
    if (i % 16 == 0)
        std::snprintf(texto, sizeof texto, "2%07d", i);
    else
        std::snprintf(texto, sizeof texto, "789%010d", i);
    return texto;
}

std::string Padded(const std::string& barras) {
    return barras.size() >= 13 ? barras : std::string(13 - barras.size(), '0') + barras;
}

std::string ArquivoOferta(int linhas) {
    static const char* const sufixos[] = {"", " UN", " 5 KG", " CAIXA C/12", " 1 L", " PCT 500 G"};
    std::string texto = "BARRAS;DESCRICAO;PRECO;\r\n";
    texto.reserve(static_cast<size_t>(linhas) * 48);
    char linha[160];
    for (int i = 1; i <= linhas; ++i) {
        int n = std::snprintf(linha, sizeof linha, "%s;PRODUTO EM OFERTA %06d%s;%d,%02d;\r\n",
                              BarrasDaLinha(i).c_str(), i, sufixos[i % 6], 1 + i % 300, i % 100);
        texto.append(linha, static_cast<size_t>(n));
    }
    return texto;
}

// Sends rows in batches of a thousand.
class TInsercaoEmLote {
public:
    TInsercaoEmLote(TestServer& servidor, std::string cabeca)
        : servidor_(servidor), cabeca_(std::move(cabeca)) {}
    ~TInsercaoEmLote() noexcept(false) { Envia(); }
    void Linha(const std::string& valores) {
        sql_ += (linhas_++ == 0 ? cabeca_ + " VALUES " : std::string(",")) + valores;
        if (linhas_ == 1000)
            Envia();
    }

private:
    void Envia() {
        if (linhas_ > 0)
            servidor_.Exec(sql_, Banco);
        sql_.clear();
        linhas_ = 0;
    }
    TestServer& servidor_;
    std::string cabeca_;
    std::string sql_;
    int linhas_ = 0;
};

// The store database for a file of n data lines; returns how many statements the import of
// that file sends.
size_t PreparaLoja(TestServer& s, int linhas) {
    s.CreateStoreDatabase(Banco);
    s.Exec("INSERT INTO identificacao_servidor VALUES (10, '00000000000191', 'LOJA', NULL, 'h')",
           Banco);
    size_t comandos = 2; // the booklet and its key
    int id = 0;
    {
        TInsercaoEmLote produtos(
            s, "INSERT INTO produto (produto_id, barras, descricao, apagado, tipo, preco)");
        TInsercaoEmLote alternativos(s, "INSERT INTO barras (produto_id, barras, apagado)");
        for (int i = 1; i <= linhas; ++i) {
            const std::string barras = Padded(BarrasDaLinha(i));
            const std::string resto = ", 'PRODUTO " + std::to_string(i) + "', ";
            switch (CasoDaLinha(i)) {
            case Caso::Produto:
                produtos.Linha("(" + std::to_string(++id) + ", '" + barras + "'" + resto +
                               "'N', 'P', 9.99)");
                comandos += 4; // lookup, link check, link, product update
                break;
            case Caso::Barras:
                // A product under another main barcode; the file's barcode is an alternative.
                produtos.Linha("(" + std::to_string(++id) + ", '780" + barras.substr(3) + "'" +
                               resto + "'N', 'P', 9.99)");
                alternativos.Linha("(" + std::to_string(id) + ", '" + barras + "', 'N')");
                comandos += 5; // both lookups, link check, link, product update
                break;
            case Caso::Ausente:
                // Every other missing barcode belongs to a deleted product, which the lookup
                // passes over.
                if (i % 20 == 9)
                    produtos.Linha("(" + std::to_string(++id) + ", '" + barras + "'" + resto +
                                   "'S', 'P', 9.99)");
                comandos += 2; // both lookups
                break;
            }
        }
        // The rest of the store's range, which the booklet does not touch.
        for (int i = 1; i <= linhas / 2; ++i)
            produtos.Linha("(" + std::to_string(++id) + ", '" + Padded("560" + std::to_string(i)) +
                           "', 'OUTRO PRODUTO', 'N', 'P', 5.00)");
    }
    s.Exec(std::string("DROP DATABASE IF EXISTS ") + BancoBase);
    s.Exec(std::string("CREATE DATABASE ") + BancoBase + " DEFAULT CHARACTER SET latin1");
    s.Exec(std::string("CREATE TABLE ") + BancoBase + ".produto LIKE " + Banco + ".produto");
    s.Exec(std::string("INSERT INTO ") + BancoBase + ".produto SELECT * FROM " + Banco +
           ".produto");
    return comandos;
}

// The tables as they were before any import: no booklet, no link, products untouched.
void RestauraLoja(TestServer& s) {
    s.Exec("TRUNCATE TABLE cadofertas", Banco);
    s.Exec("TRUNCATE TABLE prodcadofertas", Banco);
    s.Exec("TRUNCATE TABLE produto", Banco);
    s.Exec(std::string("INSERT INTO produto SELECT * FROM ") + BancoBase + ".produto", Banco);
    // Let the server's background work on the reload settle before the next side starts.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
}

// What an import leaves in the tables it writes, to see that the replay did the same work.
std::string EstadoDaLoja(TestServer& s) {
    std::string estado;
    // The booklet without its registration time, which differs from one import to the next.
    estado += s.Scalar("SELECT MD5(GROUP_CONCAT(CONCAT_WS('|', cadofertas_id, descricao, data1, "
                       "data2, lojas_leram) ORDER BY cadofertas_id)) FROM cadofertas",
                       Banco) +
              " ";
    for (auto& linha : s.Query("CHECKSUM TABLE prodcadofertas, produto", Banco))
        estado += (linha.size() > 1 && linha[1] ? *linha[1] : "NULL") + " ";
    estado += s.Scalar("SELECT COUNT(*) FROM prodcadofertas", Banco);
    return estado;
}
