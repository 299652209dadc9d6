// escreve-connection-conf: writes the import program's connection.conf from plain values.
#include "platform/Console.h"
#include "platform/Terminal.h"
#include "tools/EscreveConf.h"

#include <clocale>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const TConsole console; // the console's code pages back as they were at the end
    // The values as the system's texts (Windows-1252 on Windows, whatever its code page); the
    // messages, UTF-8, as the console shows them.
    std::ostringstream saida, erros;
    const int codigo =
        EscreveConnectionConf(ArgumentosDoPrograma(argc, argv), EntradaPadrao, saida, erros);
    std::cout << Utf8ParaConsole(saida.str()) << std::flush;
    std::cerr << Utf8ParaConsole(erros.str()) << std::flush;
    return codigo;
}
