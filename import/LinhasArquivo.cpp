#include "import/LinhasArquivo.h"

TLinhasArquivo::TLinhasArquivo(std::initializer_list<std::string_view> linhas) {
    std::size_t bytes = 0;
    for (std::string_view l : linhas)
        bytes += l.size();
    reserve(linhas.size(), bytes);
    for (std::string_view l : linhas)
        push_back(l);
}

void TLinhasArquivo::reserve(std::size_t linhas, std::size_t bytes) {
    texto_.reserve(bytes);
    fins_.reserve(linhas);
}

void TLinhasArquivo::clear() {
    std::string().swap(texto_);
    std::vector<std::size_t>().swap(fins_);
}
