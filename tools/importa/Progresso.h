#pragma once
// The progress line of importa-caderno on a terminal: lines done of total, percent, lines per
// second and the time left, redrawn in place at most ten times a second. Silent when standard
// error is not a terminal.
#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

class TProgresso {
public:
    using Relogio = std::chrono::steady_clock;

    TProgresso(std::ostream& saida, bool ativo) : saida_(saida), ativo_(ativo) {}

    void Inicia(size_t total);
    // Redraws when a tenth of a second has passed since the last drawing, or at the last line.
    void Mostra(size_t feitas);
    // Ends the line, so that what follows starts on one of its own.
    void Encerra();

    // The text of the line, without the carriage return that redraws it.
    static std::string Linha(size_t feitas, size_t total, double segundos);

private:
    std::ostream& saida_;
    bool ativo_;
    size_t total_ = 0;
    size_t largura_ = 0; // of the last line drawn, blanked out by a shorter one
    bool desenhou_ = false;
    Relogio::time_point inicio_{};
    Relogio::time_point ultima_{};
};
