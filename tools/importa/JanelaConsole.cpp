#include "tools/importa/JanelaConsole.h"

#include "platform/Console.h"
#include "platform/PedidoParada.h"

#include <ostream>

void TJanelaConsole::HabilitaImportar(bool habilitado) {
    if (!habilitado) // the run starts: the gauge's maximum is the data lines' count
        progresso_.Inicia(Linhas.empty() ? 0 : Linhas.size() - 1);
    else
        progresso_.Encerra();
}

void TJanelaConsole::ZeraProgresso() {
    feitas_ = 0;
}

void TJanelaConsole::AvancaProgresso() {
    progresso_.Mostra(++feitas_);
}

void TJanelaConsole::Mensagem(const std::string& texto) {
    progresso_.Encerra();
    erros_ << "importa-caderno: " << TextoParaConsole(texto) << '\n' << std::flush;
}

void TJanelaConsole::ProcessaMensagens() {
    if (parada_ && parada_->Pedido())
        Parar = "S";
}
