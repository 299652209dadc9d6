#include "app/UDM.h"

TDM* DM = nullptr;

TDM::TDM()
    : Transacao(Conexao.Transacao()), QTemp("QTemp", Conexao), QOferta("QOferta", Conexao),
      QProd("QProd", Conexao) {
    Conexao.SetPort(3306);
    Conexao.SetUsername("root");
    Conexao.SetPassword(""); // the built-in password; start-up replaces it
    Conexao.SetLoginPrompt(false);
    // latin1 is Windows-1252 on the server: statements and fields travel unchanged.
    Conexao.SetCharset("latin1");
}
