#pragma once
// A store with a few products for the tests that run the whole import, by the window or by
// importa-caderno, and compare what each left: the statements the server got, the tables and
// the report.
#include <string>
#include <vector>

class TestServer;

// Empties the import's four tables of the store (the keys start again at 1) and puts back the
// same products: found by produto, found by barras only, and one that produto hides.
void RefillOfferStore(const std::string& db);
void RefillOfferStore(TestServer& server, const std::string& db); // on another server
// Every row of the import's four tables, in key order, as text.
std::string DumpOfferTables(const std::string& db);
std::string DumpOfferTables(TestServer& server, const std::string& db);
// The statements every client but the test's own sent since the mark, in order.
std::vector<std::string> ClientStatementsSince(size_t mark);
std::vector<std::string> ClientStatementsSince(TestServer& server, size_t mark);
// The text with the booklet's registration time ("yyyymmdd hh:nn:ss" between quotes) put as
// <registro>: a statement, or the tables' dump.
std::string WithoutRegistration(std::string statement);
// A report with the time of its date/time-and-page lines put as "<data>".
std::string WithoutReportTime(std::string report);
// The offer file the tests import: a heading and these lines, CR LF after each.
std::string OfferFile(const std::vector<std::string>& lines);
