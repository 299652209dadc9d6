#include "app/Inicio.h"

#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "connection/util.h"

#include <cctype>

void PreparaConexao(TDM& dm, std::string& codLoja) {
    dm.Conexao.SetServer(TConnectionInfo::GetInstance().GetHost());
    dm.Conexao.SetDatabase(TConnectionInfo::GetInstance().GetDatabase());
    dm.Conexao.SetPassword(TConnectionInfo::GetInstance().GetPassword());
    int32_t filial = TIdentificacaoServidor::GetInstance().GetFilialId();
    codLoja = std::to_string(filial);
    codLoja = LojaParaCodigo(std::stoi(codLoja));
    dm.Conexao.Connect();
}

std::string TituloDaAplicacao(const std::string& caminhoExecutavel) {
    auto barra = caminhoExecutavel.find_last_of("/\\");
    std::string nome =
        barra == std::string::npos ? caminhoExecutavel : caminhoExecutavel.substr(barra + 1);
    nome = nome.substr(0, nome.find('.'));
    for (size_t i = 1; i < nome.size(); ++i)
        nome[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(nome[i])));
    return nome;
}

std::string TextoDoErro(const std::string& mensagem) {
    if (!mensagem.empty() && static_cast<unsigned char>(mensagem.back()) > '.')
        return mensagem + ".";
    return mensagem;
}
