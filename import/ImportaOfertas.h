#pragma once
// The import run behind the "&Importar" button: checks what the user entered, records the
// booklet, links every product found to it and updates the product, and reports the products
// not found. Every statement commits on its own; nothing is undone when the run stops or fails.
#include <string>

#include "platform/DataHora.h"
#include "platform/FormatSettings.h"

class ImportWindow;
class TMyQuery;

struct TContextoImportacao {
    TMyQuery& QTemp; // booklet, key, links, product updates
    TMyQuery& QProd; // product lookups
    TFormatSettings Formato = TFormatSettings::BrasilPadrao();
    TRelogio Relogio = AgoraLocal;
    std::string NomeRelatorio = "Relatorio.txt";
};

// Ends in one of four ways: a refused input (a message, then a silent abort, nothing written),
// a stop at the user's request, normal completion, or an EErro that escapes to the default
// error display with the window left as it stood.
void ImportaOfertas(ImportWindow& janela, TContextoImportacao& contexto);

// The statements, each built from its template.
namespace ComandosImportacao {
std::string InsereCadOferta(const std::string& nome, const std::string& registro,
                            const std::string& inicio, const std::string& fim,
                            const std::string& loja);
std::string BuscaProduto(const std::string& barras13);
std::string BuscaBarras(const std::string& barras13);
std::string BuscaLigacao(const std::string& cadofertasId, const std::string& produtoId);
std::string InsereLigacao(const std::string& cadofertasId, const std::string& produtoId,
                          const std::string& loja, const std::string& preco);
std::string ReativaLigacao(const std::string& loja, const std::string& cadofertasId,
                           const std::string& produtoId);
// With a price: the promotional price is updated too.
std::string AtualizaProduto(const std::string& inicio, const std::string& fim,
                            const std::string* preco, const std::string& loja,
                            const std::string& produtoId);
} // namespace ComandosImportacao

// The registration time of a booklet: yyyymmdd, a blank, then hh:nn:ss with the regional time
// separator.
std::string TextoRegistro(const TDataHora& agora, char separadorHora);
