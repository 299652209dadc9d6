#include "db/MyConnection.h"

#include "db/BibliotecaCliente.h"
#include "db/Escape.h"
#include "platform/CursorEspera.h"
#include "platform/Erro.h"
#include "platform/Texto.h"

namespace {
std::string Corta(std::string_view valor) {
    return std::string(valor.substr(0, TMyConnection::TamanhoMaximo));
}
} // namespace

TMyTransaction::~TMyTransaction() {
    Desconecta();
}

void TMyTransaction::Conecta(const TBibliotecaCliente& biblioteca, const std::string& servidor,
                             const std::string& usuario, const std::string& senha,
                             const std::string& banco, unsigned porta, const char* charset) {
    Desconecta();
    MYSQL* m = biblioteca.init(nullptr);
    if (!m)
        throw EErro("Out of memory");
    if (charset)
        biblioteca.options(m, MYSQL_SET_CHARSET_NAME, charset);
    if (!biblioteca.real_connect(m, servidor.c_str(), usuario.c_str(), senha.c_str(), banco.c_str(),
                                 porta, nullptr, TMyConnection::ClientFlagConnectWithDb)) {
        std::string motivo = Trim(biblioteca.error(m));
        biblioteca.close(m);
        throw EErro(motivo);
    }
    biblioteca_ = &biblioteca;
    mysql_ = m;
}

void TMyTransaction::Desconecta() noexcept {
    if (mysql_)
        biblioteca_->close(mysql_);
    mysql_ = nullptr;
}

void TMyConnection::SetServer(std::string_view servidor) {
    auto novo = Corta(servidor);
    if (novo != servidor_)
        Disconnect();
    servidor_ = std::move(novo);
}

void TMyConnection::SetDatabase(std::string_view banco) {
    auto novo = Corta(banco);
    if (novo != banco_)
        Disconnect();
    banco_ = std::move(novo);
}

void TMyConnection::SetUsername(std::string_view usuario) {
    usuario_ = Corta(usuario);
}
void TMyConnection::SetPassword(std::string_view senha) {
    senha_ = Corta(senha);
}

void TMyConnection::Connect() {
    if (Connected())
        return;
    TCursorEspera cursor;
    const auto& biblioteca = CarregaBibliotecaCliente(nomesBiblioteca_);
    // The connection never asks for credentials: only what was set is used, whatever
    // LoginPrompt says, since this program has nobody to ask at a store's server.
    transacao_.Conecta(biblioteca, servidor_, usuario_, senha_, banco_,
                       static_cast<unsigned>(porta_),
                       charset_.empty() ? nullptr : charset_.c_str());
}

std::string TMyConnection::EscapaTextoAspasDuplas(std::string_view valor) {
    if (!PrecisaEscapar(valor))
        return std::string(valor);
    Connect();
    bool semBarra = false;
    const auto& b = transacao_.Biblioteca();
    unsigned status = 0;
    if (b.get_infov &&
        b.get_infov(transacao_.Handle(), MARIADB_CONNECTION_SERVER_STATUS, &status) == 0)
        semBarra = (status & SERVER_STATUS_NO_BACKSLASH_ESCAPES) != 0;
    return EscapaAspasDuplas(valor, semBarra);
}
