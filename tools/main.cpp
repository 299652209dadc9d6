// escreve-connection-conf: writes the import program's connection.conf from plain values.
#include "tools/EscreveConf.h"

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    return EscreveConnectionConf(argumentos, STDIN_FILENO, std::cout, std::cerr);
}
