#pragma once
// Applying the connection settings to a connection object. Class-level operations only.
#include <cstdint>
#include <string>

class TMyConnection;

class TConfiguraConexaoBase {
public:
    TConfiguraConexaoBase() = delete;
    // Splits a ":port" off the host text; the port is 3306 when none is given or it is too big.
    static void ExtrairPorta(const std::string& host, std::string& servidor, int32_t& porta);
};

class TConfiguraConexaoMyDac : public TConfiguraConexaoBase {
public:
    // Sets server, port, database, user and password, in that order, and turns the login
    // prompt off. Does not connect.
    static void Configurar(TMyConnection& conexao, const std::string& host,
                           const std::string& banco, const std::string& usuario,
                           const std::string& senha);
};
