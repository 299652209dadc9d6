#pragma once
// The viewer's start: the command line read, the report read, the window made; or the reason
// why not, told to the user in a message box.
#include "viewer/UVisualizador.h"

#include <memory>
#include <string>
#include <vector>

class QCoreApplication;

struct TInicioVisualizador {
    std::unique_ptr<TFVisualizador> Janela; // not shown yet; empty after a failure
    int CodigoSaida = 0;                    // what the program ends with after a failure
};

// The arguments after the program's name. A failure is shown through the dialogs seam
// (TDialogos) before this returns.
TInicioVisualizador IniciaVisualizador(const std::vector<std::string>& argumentos);

// Qt's own dialogs (printing, choosing a file) in Brazilian Portuguese, like the viewer.
void CarregaTraducoesQt(QCoreApplication& aplicacao);
