#pragma once
// A statement handle on a connection: one complete statement text, either executed as a
// command or opened as a query whose whole result is fetched at once. An open query stands
// on its first row.
#include <mysql.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/DataHora.h"

class TMyConnection;

// One column of the current row.
class TField {
public:
    TField(std::string_view nome, const char* valor, unsigned long tamanho)
        : nome_(nome), valor_(valor), tamanho_(tamanho) {}

    std::string_view FieldName() const { return nome_; }
    bool IsNull() const { return valor_ == nullptr; }
    // NULL reads as the empty text, 0 and the zero date-time.
    std::string AsString() const { return valor_ ? std::string(valor_, tamanho_) : std::string(); }
    std::string_view AsStringView() const { return {valor_ ? valor_ : "", valor_ ? tamanho_ : 0}; }
    int32_t AsInteger() const;
    TDataHora AsDateTime() const;

private:
    std::string_view nome_;
    const char* valor_;
    unsigned long tamanho_;
};

class TMyQuery {
public:
    TMyQuery(std::string nome, TMyConnection& conexao)
        : nome_(std::move(nome)), conexao_(&conexao) {}
    ~TMyQuery() { Close(); }
    TMyQuery(const TMyQuery&) = delete;
    TMyQuery& operator=(const TMyQuery&) = delete;

    const std::string& Name() const { return nome_; }
    TMyConnection& Connection() const { return *conexao_; }

    // Replaces the statement and closes the current result, if any. The text is copied into
    // the handle's own buffer, which keeps its room from one statement to the next.
    void SetSQL(std::string_view texto);
    const std::string& SQL() const { return sql_; }
    void SetCachedUpdates(bool ligado) { cachedUpdates_ = ligado; }
    bool CachedUpdates() const { return cachedUpdates_; }

    // Runs the statement for its effect; a refusal fails with "<name>: <server text>".
    void Execute();
    // Runs the statement as a query and fetches every row; a refusal fails with the server's
    // text alone.
    void Open();
    void Close() noexcept;

    bool Active() const { return resultado_ != nullptr; }
    bool IsEmpty() const { return linha_ == nullptr; }
    int64_t RecordCount() const;
    int FieldCount() const;
    // Fails with "Field '<name>' not found" when the result has no such column.
    TField FieldByName(std::string_view nome) const;
    // The position of a column by its name (in any letter case); -1 when there is none.
    int FieldIndex(std::string_view nome) const;
    TField Fields(int indice) const;

private:
    void Envia();
    std::string ErroServidor() const;

    std::string nome_;
    TMyConnection* conexao_;
    std::string sql_;
    bool cachedUpdates_ = false;
    MYSQL_RES* resultado_ = nullptr;
    MYSQL_ROW linha_ = nullptr;
    unsigned long* tamanhos_ = nullptr;
    MYSQL_FIELD* campos_ = nullptr;
    unsigned numCampos_ = 0;
};
