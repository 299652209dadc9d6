// importa-caderno: imports an offer booklet into the store's database without the window.
#include "platform/Console.h"
#include "platform/Terminal.h"
#include "tools/importa/ImportaCaderno.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    PreparaConsole();
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    return ImportaCaderno(argumentos, std::cout, std::cerr, EhTerminal(2));
}
