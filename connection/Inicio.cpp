#include "connection/Inicio.h"

#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"
#include "connection/util.h"
#include "db/MyConnection.h"

std::string PreparaConexao(TMyConnection& conexao) {
    conexao.SetServer(TConnectionInfo::GetInstance().GetHost());
    conexao.SetDatabase(TConnectionInfo::GetInstance().GetDatabase());
    conexao.SetPassword(TConnectionInfo::GetInstance().GetPassword());
    return LojaParaCodigo(TIdentificacaoServidor::GetInstance().GetFilialId());
}
