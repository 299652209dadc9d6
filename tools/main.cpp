// escreve-connection-conf: writes the import program's connection.conf from plain values.
#include "platform/Terminal.h"
#include "tools/EscreveConf.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    return EscreveConnectionConf(argumentos, EntradaPadrao, std::cout, std::cerr);
}
