#pragma once
// The import run behind the "&Importar" button: checks what the user entered, records the
// booklet, links every product found to it and updates the product, and reports the products
// not found. Every statement commits on its own; nothing is undone when the run stops or fails.
#include <string>
#include <string_view>

#include "platform/DataHora.h"
#include "platform/FormatSettings.h"

class ImportWindow;
class TMyQuery;

struct TContextoImportacao {
    TMyQuery& QTemp;     // booklet, key, links, product updates
    TMyQuery& QProd;     // product lookups
    std::string CodLoja; // this store's one-character code, written into every lojas_leram
    TFormatSettings Formato = TFormatSettings::BrasilPadrao();
    TRelogio Relogio = AgoraLocal;
    std::string NomeRelatorio = "Relatorio.txt";
};

// Ends in one of four ways: a refused input (a message, then a silent abort, nothing written),
// a stop at the user's request, normal completion, or an EErro that escapes to the default
// error display with the window left as it stood.
void ImportaOfertas(ImportWindow& janela, TContextoImportacao& contexto);

// The statements, each built from its template into sql (whose text it replaces, keeping its
// room, so that a run builds its statements without allocating once the room suffices).
// Values that stand between double quotes come already made safe to quote.
namespace ComandosImportacao {
void InsereCadOferta(std::string& sql, std::string_view nome, std::string_view registro,
                     std::string_view inicio, std::string_view fim, std::string_view loja);
void BuscaProduto(std::string& sql, std::string_view barras13);
void BuscaBarras(std::string& sql, std::string_view barras13);
void BuscaLigacao(std::string& sql, std::string_view cadofertasId, std::string_view produtoId);
void InsereLigacao(std::string& sql, std::string_view cadofertasId, std::string_view produtoId,
                   std::string_view loja, std::string_view preco);
void ReativaLigacao(std::string& sql, std::string_view loja, std::string_view cadofertasId,
                    std::string_view produtoId);
// With a price: the promotional price is updated too.
void AtualizaProduto(std::string& sql, std::string_view inicio, std::string_view fim,
                     const std::string* preco, std::string_view loja, std::string_view produtoId);
} // namespace ComandosImportacao

// The registration time of a booklet: yyyymmdd, a blank, then hh:nn:ss with the regional time
// separator.
std::string TextoRegistro(const TDataHora& agora, char separadorHora);
