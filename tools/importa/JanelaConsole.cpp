#include "tools/importa/JanelaConsole.h"

#include "platform/Console.h"
#include "platform/PedidoParada.h"

#include <ostream>

void TJanelaConsole::HabilitaImportar(bool habilitado) {
    if (!habilitado) { // the run starts: the gauge's maximum is the data lines' count
        progresso_.Inicia(Linhas.empty() ? 0 : Linhas.size() - 1);
        if (!iniciada_)
            antesDoCaderno_ = true;
        iniciada_ = true;
    } else
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
    ultimaMensagem_ = texto;
    erros_ << "importa-caderno: " << TextoParaConsole(texto) << '\n' << std::flush;
}

void TJanelaConsole::ProcessaMensagens() {
    const bool antes = antesDoCaderno_;
    antesDoCaderno_ = false;
    if (parada_ && parada_->Pedido()) {
        // The window's run would write its booklet row first and stop at its first line; the
        // command, whose stop may come from a script that wants nothing written, ends here.
        if (antes)
            throw EParadaAntesDoCaderno();
        Parar = "S";
    }
}
