#pragma once
// The import window of importa-caderno: the inputs come from the command line, the run's
// messages go to standard error, the gauge becomes the progress line, and a Ctrl+C or SIGTERM
// stops the run between two lines, as the window's Cancel does.
#include "import/ImportWindow.h"
#include "tools/importa/OpcoesImporta.h"
#include "tools/importa/Progresso.h"

#include <exception>
#include <iosfwd>
#include <string>

class TPedidoParada;

// A stop asked for before the run writes its booklet row: the command ends there, with
// nothing written, instead of writing a booklet without lines.
class EParadaAntesDoCaderno : public std::exception {
public:
    const char* what() const noexcept override { return "stopped before the booklet"; }
};

class TJanelaConsole : public ImportWindow {
public:
    TJanelaConsole(const TOpcoesImporta& opcoes, std::ostream& erros, bool progresso)
        : opcoes_(opcoes), erros_(erros), progresso_(erros, progresso) {}

    // Asked whether a stop was requested each time the run lets the window handle its
    // messages; none, when null.
    void VigiaParada(TPedidoParada* parada) { parada_ = parada; }

    std::string TextoArquivo() override { return opcoes_.Arquivo; }
    std::string TextoCadOferta() override { return opcoes_.Nome; }
    TData DataInicio() override { return opcoes_.Inicio; }
    TData DataFim() override { return opcoes_.Fim; }
    bool PromocaoMarcada() override { return opcoes_.Promocao; }
    void DefineDescricao(const std::string&) override {}
    void ZeraProgresso() override;
    void AvancaProgresso() override;
    void HabilitaImportar(bool habilitado) override;
    void Foca(Controle) override {}
    void Mensagem(const std::string& texto) override;
    void ProcessaMensagens() override;

    // Ends the progress line before a failure is told.
    void EncerraProgresso() { progresso_.Encerra(); }
    // The last message the run told, as the system's text ("" when none).
    const std::string& UltimaMensagem() const { return ultimaMensagem_; }

private:
    const TOpcoesImporta& opcoes_;
    std::ostream& erros_;
    TProgresso progresso_;
    TPedidoParada* parada_ = nullptr;
    size_t feitas_ = 0;
    bool iniciada_ = false;       // the run has passed its checks and disabled the button
    bool antesDoCaderno_ = false; // ... and not yet let the window handle its messages
    std::string ultimaMensagem_;
};
