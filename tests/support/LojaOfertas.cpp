#include "LojaOfertas.h"

#include "TestServer.h"

#include <regex>

void RefillOfferStore(const std::string& db) {
    RefillOfferStore(TestServer::Shared(), db);
}

void RefillOfferStore(TestServer& s, const std::string& db) {
    for (const char* t : {"produto", "barras", "cadofertas", "prodcadofertas"})
        s.Exec(std::string("TRUNCATE TABLE ") + t, db);
    s.Exec("INSERT INTO produto (produto_id, barras, descricao, preco, apagado, tipo) VALUES "
           "(21, '7891000100103', 'ARROZ', 24.9, 'N', 'P'),"
           "(22, '0000000000789', 'PAO', 14.9, 'N', 'P'),"
           "(23, '7891000300305', 'OLEO', 7.99, 'S', 'P'),"
           "(24, '7891000400401', 'CAFE', 17.9, 'N', 'P')",
           db);
    s.Exec("INSERT INTO barras (produto_id, barras, apagado) VALUES (23, '7891000300312', 'N')",
           db);
}

std::string DumpOfferTables(const std::string& db) {
    return DumpOfferTables(TestServer::Shared(), db);
}

std::string DumpOfferTables(TestServer& s, const std::string& db) {
    std::string dump;
    for (const char* t : {"produto", "barras", "cadofertas", "prodcadofertas"}) {
        dump += std::string("[") + t + "]\n";
        for (const Row& row : s.Query(std::string("SELECT * FROM ") + t + " ORDER BY 1", db)) {
            for (const auto& v : row)
                dump += (v ? "'" + *v + "'" : std::string("NULL")) + " ";
            dump += "\n";
        }
    }
    return dump;
}

std::vector<std::string> ClientStatementsSince(size_t mark) {
    return ClientStatementsSince(TestServer::Shared(), mark);
}

std::vector<std::string> ClientStatementsSince(TestServer& s, size_t mark) {
    const long admin = std::stol(s.Scalar("SELECT CONNECTION_ID()"));
    std::vector<std::string> statements;
    for (const LogEntry& e : s.Since(mark))
        if (e.Command == "Query" && e.Thread != admin)
            statements.push_back(e.Argument);
    return statements;
}

std::string WithoutRegistration(std::string statement) {
    static const std::regex registro("([\"'])[0-9]{8} [0-9]{2}.[0-9]{2}.[0-9]{2}([\"'])");
    return std::regex_replace(statement, registro, "$1<registro>$2");
}

std::string WithoutReportTime(std::string report) {
    static const std::regex hora("Data/Hora [0-9]{2}.[0-9]{2}.[0-9]{4} [0-9]{2}.[0-9]{2}");
    return std::regex_replace(report, hora, "Data/Hora <data>");
}

std::string OfferFile(const std::vector<std::string>& lines) {
    std::string text = "BARRAS;DESCRICAO;PRECO;\r\n";
    for (const auto& l : lines)
        text += l + "\r\n";
    return text;
}
