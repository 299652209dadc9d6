// VivuzoriVodizerArizoz: loads an offer booklet into the store's database.
#include "app/Aplicacao.h"
#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "ui/UImportarCadOferta.h"

#include <memory>

int main(int argc, char** argv) {
    TAplicacao aplicacao(argc, argv);
    int codigo = 0;
    {
        auto dm = std::make_unique<TDM>();
        DM = dm.get();
        auto janela = std::make_unique<TFImportarCadOfertas>();
        FImportarCadOfertas = janela.get();
        janela->show();
        codigo = aplicacao.exec();
        FImportarCadOfertas = nullptr;
        janela.reset();
        DM = nullptr;
    }
    TConnectionInfo::Liberar();
    return codigo;
}
