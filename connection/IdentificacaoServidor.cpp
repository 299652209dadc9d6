// The texts of the core spell their non-ASCII characters as the \x escapes of their
// Windows-1252 bytes, so that they are the same bytes whatever the compiler's narrow encoding.
#include "connection/IdentificacaoServidor.h"

#include "connection/ConnectionInfo.h"
#include "connection/Dao.h"
#include "db/MyQuery.h"
#include "platform/Erro.h"

#include <memory>

namespace {
std::unique_ptr<TIdentificacaoServidor>& Instancia() {
    static std::unique_ptr<TIdentificacaoServidor> instancia;
    return instancia;
}
} // namespace

TIdentificacaoServidor& TIdentificacaoServidor::GetInstance() {
    auto& instancia = Instancia();
    if (!instancia) {
        instancia.reset(new TIdentificacaoServidor()); // private constructor
        instancia->Load();                             // a failure leaves it registered
    }
    return *instancia;
}

void TIdentificacaoServidor::Liberar() noexcept {
    Instancia().reset();
}

void TIdentificacaoServidor::Load() {
    std::unique_ptr<TMyQuery> query; // destroyed on every way out
    try {
        auto& info = TConnectionInfo::GetInstance();
        query = TDao::CreateQuery(info.GetConnection(), Comando, false, true);
        if (query->RecordCount() <= 0)
            throw EErro("N\xE3o foi poss\xEDvel encontrar a identifica\xE7\xE3o do servidor.");
        filialId_ = query->FieldByName("filial_id").AsInteger();
        cnpjServidor_ = query->FieldByName("cnpj_servidor").AsString();
        tipoServidor_ = query->FieldByName("tipo_servidor").AsString();
        dataIdentificacao_ = query->FieldByName("data_identificacao").AsDateTime();
        hashIdentificacao_ = query->FieldByName("hash_identificacao").AsString();
    } catch (const EErro& e) {
        throw EErro("Falha ao carregar dados de identifica\xE7\xE3o do servidor.\r\nMotivo: " +
                    e.Message());
    }
}
