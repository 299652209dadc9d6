#pragma once
// The import run behind the "&Importar" button: checks what the user entered, records the
// booklet, links every product found to it and updates the product, and reports the products
// not found. Every statement commits on its own; nothing is undone when the run stops or fails.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/DataHora.h"
#include "platform/FormatSettings.h"

class ImportWindow;
class TMyQuery;

// How far a run got, kept up to date as it goes, so that whoever started it can tell what was
// written when it ends, however it ends.
struct TAndamentoImportacao {
    enum class Etapa { Entradas, CadOferta, Linhas, Relatorio, Concluida, Parada };
    Etapa Atual = Etapa::Entradas;
    size_t Linha = 0; // the index in Linhas of the line under way (the heading is 0)
    int Encontrados = 0;
    int NaoEncontrados = 0;
    std::optional<long long> CadOfertasId; // the booklet's key, once its row is written
    bool RelatorioGravado = false;
};

struct TContextoImportacao {
    TMyQuery& QTemp;     // booklet, key, links, product updates
    TMyQuery& QProd;     // product lookups
    std::string CodLoja; // this store's one-character code, written into every lojas_leram
    TFormatSettings Formato = TFormatSettings::BrasilPadrao();
    TRelogio Relogio = AgoraLocal;
    std::string NomeRelatorio = "Relatorio.txt";
    // The check before an import: the same inputs and the same two product look-ups a line,
    // and the report of the products not found; no booklet, link or product update.
    bool SoVerificar = false;
    bool IniciaVisualizador = true; // otherwise the report is saved and no viewer started
    TAndamentoImportacao Andamento{};
};

// Ends in one of four ways: a refused input (a message, then a silent abort, nothing written),
// a stop at the user's request, normal completion, or an EErro that escapes to the default
// error display with the window left as it stood. contexto.Andamento tells which, and where.
void ImportaOfertas(ImportWindow& janela, TContextoImportacao& contexto);

// The run's checks of what the user entered (file, name, dates, lines), in the run's order and
// with its messages, for a caller that wants them before it connects: a refused input raises
// the silent abort after its message; no lines is a message and false.
bool EntradasDaImportacao(ImportWindow& janela);

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
