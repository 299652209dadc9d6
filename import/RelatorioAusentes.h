#pragma once
// The layout of the report of products not imported: a title block repeated atop every page,
// one line for each product not found (barcode, description, price in fixed columns), and,
// after a rule, the total line. The import run writes it; benchmarks build it the same way.
#include <string>

class TImpres;

namespace RelatorioAusentes {

// The title block, set to repeat on every page.
void Titulos(TImpres& relatorio);

// One product's line into texto (whose room is reused): the barcode padded with zeros on the
// left to 13, the description padded to 50 and the price right-aligned in 10, each cut to its
// column.
void LinhaProduto(std::string& texto, const std::string& barras, const std::string& descricao,
                  const std::string& preco);

// The rule and the total line, the count grouped with the thousands separator.
void Total(TImpres& relatorio, int naoImportados, char separadorMilhares);

} // namespace RelatorioAusentes
