#include "OpcoesImportBench.h"

#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::vector<int> ListaDeNumeros(const std::string& texto) {
    std::vector<int> numeros;
    std::stringstream in(texto);
    std::string parte;
    while (std::getline(in, parte, ','))
        numeros.push_back(std::stoi(parte));
    return numeros;
}

} // namespace

TOpcoes LeOpcoes(int argc, char** argv) {
    TOpcoes o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto valor = [&]() -> std::string {
            if (i + 1 >= argc)
                throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        if (a == "--lines")
            o.Linhas = ListaDeNumeros(valor());
        else if (a == "--rounds")
            o.Rodadas = std::stoi(valor());
        else if (a == "--markdown")
            o.Markdown = fs::absolute(valor()).string(); // the run changes its folder
        else if (a == "--address")
            o.Endereco = valor();
        else if (a == "--durable")
            o.Duravel = true;
        else if (a == "--xvfb")
            o.Xvfb = true;
        else if (a == "--relay")
            o.Relay = valor();
        else
            throw std::runtime_error("unknown option " + a);
    }
    if (o.Endereco.rfind("127.", 0) != 0 || (!o.Relay.empty() && o.Relay.rfind("127.", 0) != 0))
        throw std::runtime_error("the benchmark server runs on a loopback address only");
    return o;
}
