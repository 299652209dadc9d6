#include "db/MyQuery.h"

#include "db/BibliotecaCliente.h"
#include "db/MyConnection.h"
#include "platform/CursorEspera.h"
#include "platform/Erro.h"
#include "platform/Texto.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace {

bool LeInteiro(std::string_view texto, int& valor) {
    auto fim = texto.data() + texto.size();
    auto [p, erro] = std::from_chars(texto.data(), fim, valor);
    return erro == std::errc() && p == fim && !texto.empty();
}

} // namespace

int32_t TField::AsInteger() const {
    if (!valor_)
        return 0;
    std::string_view texto(valor_, tamanho_);
    int32_t valor = 0;
    auto fim = texto.data() + texto.size();
    auto [p, erro] = std::from_chars(texto.data(), fim, valor);
    if (erro != std::errc() || p != fim || texto.empty())
        throw EErro(Formata("'%s' is not a valid integer value", {texto}));
    return valor;
}

TDataHora TField::AsDateTime() const {
    if (!valor_)
        return {};
    // The server writes dates as yyyy-mm-dd and date-times as yyyy-mm-dd hh:mm:ss[.ffffff].
    std::string_view t(valor_, tamanho_);
    TDataHora dh;
    bool ok = t.size() >= 10 && t[4] == '-' && t[7] == '-' &&
              LeInteiro(t.substr(0, 4), dh.Data.Ano) && LeInteiro(t.substr(5, 2), dh.Data.Mes) &&
              LeInteiro(t.substr(8, 2), dh.Data.Dia);
    if (ok && t.size() > 10) {
        ok = t.size() >= 19 && t[10] == ' ' && t[13] == ':' && t[16] == ':' &&
             LeInteiro(t.substr(11, 2), dh.Hora) && LeInteiro(t.substr(14, 2), dh.Minuto) &&
             LeInteiro(t.substr(17, 2), dh.Segundo) && (t.size() == 19 || t[19] == '.');
    }
    if (ok && dh.Data == TData{0, 0, 0} && dh.Hora == 0 && dh.Minuto == 0 && dh.Segundo == 0)
        return {}; // the server's zero date
    if (!ok || !dh.Data.Valida() || dh.Hora > 23 || dh.Minuto > 59 || dh.Segundo > 59)
        throw EErro(Formata("'%s' is not a valid date and time", {t}));
    return dh;
}

void TMyQuery::SetSQL(std::string_view texto) {
    Close();
    sql_.assign(texto);
}

void TMyQuery::Close() noexcept {
    if (resultado_)
        conexao_->Transacao().Biblioteca().free_result(resultado_);
    resultado_ = nullptr;
    linha_ = nullptr;
    tamanhos_ = nullptr;
    campos_ = nullptr;
    numCampos_ = 0;
}

std::string TMyQuery::ErroServidor() const {
    auto& t = conexao_->Transacao();
    return t.Biblioteca().error(t.Handle());
}

void TMyQuery::Envia() {
    Close();
    conexao_->Connect();
    auto& t = conexao_->Transacao();
    if (t.Biblioteca().real_query(t.Handle(), sql_.data(), sql_.size()) != 0)
        throw EErro(ErroServidor());
}

void TMyQuery::Execute() {
    TCursorEspera cursor;
    conexao_->Connect(); // a failed connect carries the client library's text alone
    try {
        Envia();
    } catch (const EErro& e) {
        throw EErro(nome_ + ": " + e.Message());
    }
    // A command that still produced rows leaves them on the wire; take them so the
    // connection stays usable.
    auto& t = conexao_->Transacao();
    const auto& b = t.Biblioteca();
    if (MYSQL_RES* r = b.store_result(t.Handle()))
        b.free_result(r);
}

void TMyQuery::Open() {
    TCursorEspera cursor;
    Envia();
    auto& t = conexao_->Transacao();
    const auto& b = t.Biblioteca();
    MYSQL_RES* r = b.store_result(t.Handle());
    if (!r) {
        if (b.field_count(t.Handle()) != 0)
            throw EErro(ErroServidor()); // the rows could not be fetched
        return;                          // a statement without rows: an empty result
    }
    resultado_ = r;
    numCampos_ = b.num_fields(r);
    campos_ = b.fetch_fields(r);
    linha_ = b.fetch_row(r);
    tamanhos_ = linha_ ? b.fetch_lengths(r) : nullptr;
}

int64_t TMyQuery::RecordCount() const {
    return resultado_
               ? static_cast<int64_t>(conexao_->Transacao().Biblioteca().num_rows(resultado_))
               : 0;
}

int TMyQuery::FieldCount() const {
    return static_cast<int>(numCampos_);
}

TField TMyQuery::Fields(int indice) const {
    if (indice < 0 || static_cast<unsigned>(indice) >= numCampos_)
        throw EErro(Formata("Field index out of range (%s)", {std::to_string(indice)}));
    std::string_view nome(campos_[indice].name, campos_[indice].name_length);
    if (!linha_)
        return {nome, nullptr, 0};
    return {nome, linha_[indice], tamanhos_[indice]};
}

int TMyQuery::FieldIndex(std::string_view nome) const {
    for (unsigned i = 0; i < numCampos_; ++i) {
        std::string_view candidato(campos_[i].name, campos_[i].name_length);
        if (candidato.size() == nome.size() &&
            std::equal(candidato.begin(), candidato.end(), nome.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            }))
            return static_cast<int>(i);
    }
    return -1;
}

TField TMyQuery::FieldByName(std::string_view nome) const {
    const int indice = FieldIndex(nome);
    if (indice < 0)
        throw EErro(Formata("Field '%s' not found", {nome}));
    return Fields(indice);
}
