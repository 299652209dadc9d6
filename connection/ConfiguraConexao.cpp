#include "connection/ConfiguraConexao.h"

#include "db/MyConnection.h"

#include <charconv>

namespace {
constexpr int32_t PortaPadrao = 3306;

// Every non-overlapping occurrence of the pattern removed, left to right.
std::string RemoveOcorrencias(const std::string& texto, const std::string& padrao) {
    std::string saida;
    size_t i = 0;
    while (i < texto.size()) {
        if (texto.compare(i, padrao.size(), padrao) == 0) {
            i += padrao.size();
        } else {
            saida += texto[i++];
        }
    }
    return saida;
}
} // namespace

void TConfiguraConexaoBase::ExtrairPorta(const std::string& host, std::string& servidor,
                                         int32_t& porta) {
    std::string digitos;
    bool marca = false;
    for (char c : host) {
        if (c == ':') {
            marca = true;
        } else if (marca) {
            if (c < '0' || c > '9')
                break;
            digitos += c;
        }
    }
    servidor = RemoveOcorrencias(host, ":" + digitos);
    porta = PortaPadrao;
    int32_t valor = 0;
    auto fim = digitos.data() + digitos.size();
    auto [p, erro] = std::from_chars(digitos.data(), fim, valor);
    if (!digitos.empty() && erro == std::errc() && p == fim)
        porta = valor;
}

void TConfiguraConexaoMyDac::Configurar(TMyConnection& conexao, const std::string& host,
                                        const std::string& banco, const std::string& usuario,
                                        const std::string& senha) {
    std::string servidor;
    int32_t porta = PortaPadrao;
    ExtrairPorta(host, servidor, porta);
    conexao.SetServer(servidor);
    conexao.SetPort(porta);
    conexao.SetDatabase(banco);
    conexao.SetUsername(usuario);
    conexao.SetPassword(senha);
    conexao.SetLoginPrompt(false);
}
