#pragma once
// The MySQL connection object and its transaction object.
//
// TMyConnection holds the settings (server, port, database, user, password) and answers
// whether it is connected; its TMyTransaction holds the client library's handle, that is the
// one server connection every statement handle on this connection shares. Auto-commit is on
// and no BEGIN, COMMIT or ROLLBACK is ever sent: the server's own auto-commit governs.
#include <mysql.h>

#include <string>
#include <string_view>
#include <vector>

struct TBibliotecaCliente;

class TMyTransaction {
public:
    TMyTransaction() = default;
    ~TMyTransaction();
    TMyTransaction(const TMyTransaction&) = delete;
    TMyTransaction& operator=(const TMyTransaction&) = delete;

    bool AutoCommit() const { return true; }
    bool TransactionSafe() const { return false; }

    bool Conectada() const { return mysql_ != nullptr; }
    MYSQL* Handle() const { return mysql_; }
    const TBibliotecaCliente& Biblioteca() const { return *biblioteca_; }

    // Opens the server connection; fails with the client library's text, trimmed.
    void Conecta(const TBibliotecaCliente& biblioteca, const std::string& servidor,
                 const std::string& usuario, const std::string& senha, const std::string& banco,
                 unsigned porta, const char* charset);
    void Desconecta() noexcept;

private:
    const TBibliotecaCliente* biblioteca_ = nullptr;
    MYSQL* mysql_ = nullptr;
};

class TMyConnection {
public:
    static constexpr unsigned long ClientFlagConnectWithDb = 8; // CLIENT_CONNECT_WITH_DB
    static constexpr size_t TamanhoMaximo = 255;                // longer settings are cut

    TMyConnection() = default;
    ~TMyConnection() = default; // the transaction closes the server connection
    TMyConnection(const TMyConnection&) = delete;
    TMyConnection& operator=(const TMyConnection&) = delete;

    // Changing the server or the database of an open connection closes it first.
    void SetServer(std::string_view servidor);
    void SetDatabase(std::string_view banco);
    void SetUsername(std::string_view usuario);
    void SetPassword(std::string_view senha);
    void SetPort(int porta) { porta_ = porta; }
    void SetLoginPrompt(bool pedir) { loginPrompt_ = pedir; }
    // A client character set to ask for at connect; empty asks for none (the library's default).
    void SetCharset(std::string_view charset) { charset_ = charset; }
    // The client library's file names, for tests that need one that does not exist.
    void SetNomesBiblioteca(std::vector<std::string> nomes) { nomesBiblioteca_ = std::move(nomes); }

    const std::string& Server() const { return servidor_; }
    const std::string& Database() const { return banco_; }
    const std::string& Username() const { return usuario_; }
    const std::string& Password() const { return senha_; }
    int Port() const { return porta_; }
    bool LoginPrompt() const { return loginPrompt_; }
    const std::string& Charset() const { return charset_; }

    bool Connected() const { return transacao_.Conectada(); }
    void Connect();
    void Disconnect() noexcept { transacao_.Desconecta(); }

    TMyTransaction& Transacao() { return transacao_; }

    // A value made safe to stand between double quotes in a statement, by the rules of the
    // session's current SQL mode. Connects first, since the mode is the server's.
    std::string EscapaTextoAspasDuplas(std::string_view valor);

private:
    std::string servidor_;
    std::string banco_;
    std::string usuario_;
    std::string senha_;
    int porta_ = 3306;
    bool loginPrompt_ = true;
    std::string charset_;
    std::vector<std::string> nomesBiblioteca_;
    TMyTransaction transacao_;
};
