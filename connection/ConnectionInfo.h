#pragma once
// The connection settings of connection.conf, kept beside the program, read once at first use.
// Every value in the file is stored as the hexadecimal form of its bytes (FormatoConf.h). The
// object also owns the identification connection, a second connection to the store's server, made
// on first request and kept open until the program ends.
#include "connection/FormatoConf.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class TMyConnection;

class TConnectionInfo {
public:
    static constexpr const char* NomeArquivo = NomeConnectionConf;
    static constexpr const char* Secao = SecaoConnectionConf;

    // The single instance: created, registered and loaded on the first call.
    static TConnectionInfo& GetInstance();
    // Releases the instance and its identification connection (at program end).
    static void Liberar() noexcept;

    ~TConnectionInfo();
    TConnectionInfo(const TConnectionInfo&) = delete;
    TConnectionInfo& operator=(const TConnectionInfo&) = delete;

    // The configured host, or this machine's address for "localhost" in any letter case;
    // worked out anew at every call. A ":port" stays in the text.
    std::string GetHost() const;
    const std::string& GetDatabase() const { return database_; }
    const std::string& GetUser() const { return usuario_; }
    const std::string& GetPassword() const { return senha_; }
    const std::string& GetMacAdress() const { return macAdress_; }
    const std::string& GetName() const { return name_; }
    const std::string& GetCnpj() const { return cnpj_; }
    int32_t GetCodFisica() const { return codFisica_; }

    // The identification connection, connected on first request; a failed connect stores
    // nothing and the next call tries again.
    TMyConnection& GetConnection();

    static std::string GetLocalIP();
    // The bytes of a stored value; nullopt when a pair is not two hexadecimal digits.
    static std::optional<std::string> HexToStr(std::string_view armazenado) {
        return DecodificaHex(armazenado);
    }
    // The full path of the settings file: the program's folder and the file name, unless
    // another file was named before the first GetInstance.
    static std::string CaminhoArquivo();
    static void UsaArquivo(std::string caminho);

private:
    TConnectionInfo() = default;
    void Load();

    std::string macAdress_;
    std::string usuario_;
    std::string senha_;
    std::string database_;
    std::string databaseIP_;
    std::string name_;
    int32_t codFisica_ = 0;
    std::unique_ptr<TMyConnection> conexao_;
    std::string cnpj_;
};
