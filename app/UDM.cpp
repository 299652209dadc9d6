#include "app/UDM.h"

#include "connection/Inicio.h"

TDM* DM = nullptr;

TDM::TDM()
    : Transacao(Conexao.Transacao()), QTemp("QTemp", Conexao), QOferta("QOferta", Conexao),
      QProd("QProd", Conexao) {
    ConfiguraConexaoPrincipal(Conexao);
}
