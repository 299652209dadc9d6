// visualizador: shows a saved text report, as the import starts it:
//   visualizador <report file> <number of columns>
#include "viewer/Visualizador.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv) {
    QApplication aplicacao(argc, argv);
    QApplication::setApplicationName(QStringLiteral("visualizador"));
    CarregaTraducoesQt(aplicacao);
    // What is left once Qt has taken its own options; file names stay the bytes they are.
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    TInicioVisualizador inicio = IniciaVisualizador(argumentos);
    if (!inicio.Janela)
        return inicio.CodigoSaida;
    // The whole screen also where no window manager maximises it.
    if (QScreen* tela = QGuiApplication::primaryScreen())
        inicio.Janela->setGeometry(tela->availableGeometry());
    inicio.Janela->showMaximized();
    return aplicacao.exec();
}
