#pragma once
// The data module: the one MySQL connection through which every statement of an import goes,
// and its statement handles, all on the one server connection (so that SELECT LAST_INSERT_ID()
// answers for the insert before it). Port 3306 and user "root" are fixed here; host,
// database and password are set at start from connection.conf.
#include "db/MyConnection.h"
#include "db/MyQuery.h"
#include "ui/UImportarCadOferta.h"

class TDM {
public:
    TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    TMyConnection Conexao;
    TMyTransaction& Transacao;
    TMyQuery QTemp;
    TMyQuery QOferta; // kept for the stored design; no operation uses it
    TMyQuery QProd;

    // What the import window is given of it.
    TModuloDados ParaJanela() { return {Conexao, QTemp, QProd}; }
};

// The one instance, from start to program end.
extern TDM* DM;
