// importa-caderno: imports an offer booklet into the store's database without the window.
#include "platform/Console.h"
#include "platform/Terminal.h"
#include "tools/importa/ImportaCaderno.h"

#include <iostream>

int main(int argc, char** argv) {
    const TConsole console; // the console's code pages back as they were at the end
    return ImportaCaderno(ArgumentosDoPrograma(argc, argv), std::cout, std::cerr, EhTerminal(2));
}
