// VivuzoriVodizerArizoz: loads an offer booklet into the store's database.
#include "app/Aplicacao.h"
#include "app/UDM.h"
#include "connection/ConnectionInfo.h"
#include "platform/PastaDeTrabalho.h"
#include "ui/UImportarCadOferta.h"

#include <memory>

int main(int argc, char** argv) {
    // Where the report goes: on Windows never the installation folder nor Program Files.
    PreparaPastaDeTrabalho();
    // The program reads no command line: Qt gets the program's name alone, so that none of its
    // own options (-platform, -style, ...) can change or stop it.
    char nomePadrao[] = "VivuzoriVodizerArizoz";
    char* argumentos[] = {argc > 0 && argv[0] ? argv[0] : nomePadrao, nullptr};
    int quantos = 1;
    TAplicacao aplicacao(quantos, argumentos);
    int codigo = 0;
    {
        auto dm = std::make_unique<TDM>();
        DM = dm.get();
        auto janela = std::make_unique<TFImportarCadOfertas>(dm->ParaJanela());
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
