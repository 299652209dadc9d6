#pragma once
// The store server's identification row, read once at start over the identification
// connection. Its branch number becomes the store code.
#include <cstdint>
#include <string>

#include "platform/DataHora.h"

class TIdentificacaoServidor {
public:
    static constexpr const char* Comando = "select \r\n"
                                           "  filial_id \r\n"
                                           "  ,cnpj_servidor \r\n"
                                           "  ,tipo_servidor \r\n"
                                           "  ,data_identificacao \r\n"
                                           "  ,hash_identificacao\r\n"
                                           "from \r\n"
                                           "  identificacao_servidor \r\n";

    // The single instance: created, registered and loaded on the first call. A failed load
    // is not retried: the instance stays with what it had read.
    static TIdentificacaoServidor& GetInstance();
    // Forgets the instance, so that a fresh start can be tried (tests only; the program
    // keeps it until the process ends).
    static void Liberar() noexcept;

    int32_t GetFilialId() const { return filialId_; }
    const std::string& GetCnpjServidor() const { return cnpjServidor_; }
    const TDataHora& GetDataIdentificacao() const { return dataIdentificacao_; }
    const std::string& GetTipoServidor() const { return tipoServidor_; }
    const std::string& GetHashIdentificacao() const { return hashIdentificacao_; }

private:
    TIdentificacaoServidor() = default;
    void Load();

    int32_t filialId_ = 0;
    std::string cnpjServidor_;
    TDataHora dataIdentificacao_;
    std::string tipoServidor_;
    std::string hashIdentificacao_;
};
