#include "connection/Inicio.h"

#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "connection/util.h"
#include "db/MyConnection.h"

void ConfiguraConexaoPrincipal(TMyConnection& conexao) {
    conexao.SetPort(3306);
    conexao.SetUsername("root");
    conexao.SetPassword(""); // start-up replaces it
    conexao.SetLoginPrompt(false);
    conexao.SetCharset("latin1");
}

std::string PreparaConexao(TMyConnection& conexao) {
    conexao.SetServer(TConnectionInfo::GetInstance().GetHost());
    conexao.SetDatabase(TConnectionInfo::GetInstance().GetDatabase());
    conexao.SetPassword(TConnectionInfo::GetInstance().GetPassword());
    return LojaParaCodigo(TIdentificacaoServidor::GetInstance().GetFilialId());
}
