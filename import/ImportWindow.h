#pragma once
// What the import run needs of the window: its controls, read and set through small
// operations, and the state it shares with the window. The Qt window implements it; tests
// implement it without a display.
#include <string>

#include "import/LinhasArquivo.h"
#include "platform/DataHora.h"

class ImportWindow {
public:
    enum class Controle { txtArquivo, txtCadOferta, dtInicio, cmdImportar };

    virtual ~ImportWindow();

    virtual std::string TextoArquivo() = 0;   // txtArquivo
    virtual std::string TextoCadOferta() = 0; // txtCadOferta
    virtual TData DataInicio() = 0;           // dtInicio; an empty picker reads as the zero date
    virtual TData DataFim() = 0;              // dtFim
    virtual bool PromocaoMarcada() = 0;       // checkPromocao
    virtual void DefineDescricao(const std::string& texto) = 0; // lblDescricao
    virtual void ZeraProgresso() = 0;                           // Gauge1 back to 0
    virtual void AvancaProgresso() = 0;                         // Gauge1 + 1, repainted at once
    virtual void HabilitaImportar(bool habilitado) = 0;         // cmdImportar
    virtual void Foca(Controle controle) = 0;
    // A message box owned by the window: caption "Atenção", information icon, one OK.
    virtual void Mensagem(const std::string& texto) = 0;
    // Lets the window handle every pending message (the Cancel button among them).
    virtual void ProcessaMensagens() = 0;

    // "S" when no import runs or the running one is to stop, "N" while one runs.
    std::string Parar = "S";
    // The lines of the chosen offer file, the heading first.
    TLinhasArquivo Linhas;
};
