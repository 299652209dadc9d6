#include "tools/importa/Progresso.h"

#include <cstdio>
#include <ostream>

void TProgresso::Inicia(size_t total) {
    total_ = total;
    inicio_ = Relogio::now();
    ultima_ = inicio_ - std::chrono::seconds(1);
}

void TProgresso::Mostra(size_t feitas) {
    if (!ativo_)
        return;
    const auto agora = Relogio::now();
    if (agora - ultima_ < std::chrono::milliseconds(100) && feitas < total_)
        return;
    ultima_ = agora;
    std::string linha =
        Linha(feitas, total_, std::chrono::duration<double>(agora - inicio_).count());
    const size_t largura = linha.size();
    if (largura < largura_)
        linha.append(largura_ - largura, ' ');
    largura_ = largura;
    saida_ << '\r' << linha << std::flush;
    desenhou_ = true;
}

void TProgresso::Encerra() {
    if (desenhou_)
        saida_ << '\n' << std::flush;
    desenhou_ = false;
}

std::string TProgresso::Linha(size_t feitas, size_t total, double segundos) {
    const double taxa = segundos > 0 ? static_cast<double>(feitas) / segundos : 0;
    const int porcento = total ? static_cast<int>(feitas * 100 / total) : 100;
    char texto[160];
    if (taxa > 0 && feitas < total) {
        const long restam = static_cast<long>(static_cast<double>(total - feitas) / taxa + 0.5);
        std::snprintf(texto, sizeof texto,
                      "%zu de %zu linhas (%d%%), %.0f linhas/s, faltam %ld:%02ld", feitas, total,
                      porcento, taxa, restam / 60, restam % 60);
    } else {
        std::snprintf(texto, sizeof texto, "%zu de %zu linhas (%d%%), %.0f linhas/s", feitas, total,
                      porcento, taxa);
    }
    return texto;
}
