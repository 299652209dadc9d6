// A program that reads the identification over the connection.conf beside it, prints the branch
// number and ends by returning from main, leaving the settings and their identification
// connection to the static clean-up at exit. The identification tests run it.
#include "connection/IdentificacaoServidor.h"
#include "platform/Erro.h"

#include <cstdio>

int main() {
    try {
        std::printf("%d\n", TIdentificacaoServidor::GetInstance().GetFilialId());
    } catch (const EErro& e) {
        std::printf("%s\n", e.what());
        return 2;
    }
    return 0;
}
