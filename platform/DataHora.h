#pragma once
// Calendar dates and date-times as plain values. The zero date-time, 30 December 1899 at
// midnight, stands for "no date" as it does in the store's other programs.
#include <compare>
#include <string>

struct TData {
    int Ano = 1899;
    int Mes = 12;
    int Dia = 30;

    auto operator<=>(const TData&) const = default;
    bool Valida() const;
    // Eight digits, year, month and day, without separators: 20261209.
    std::string ParaAAAAMMDD() const;
};

struct TDataHora {
    TData Data;
    int Hora = 0;
    int Minuto = 0;
    int Segundo = 0;

    auto operator<=>(const TDataHora&) const = default;
};

inline constexpr TData DataZero{};

int DiasNoMes(int ano, int mes);

// The local date and time of this machine's clock.
TDataHora AgoraLocal();

// Where the current time comes from; tests pass a fixed one.
using TRelogio = TDataHora (*)();
