#include "platform/DataHora.h"

#include <cstdio>
#include <ctime>

int DiasNoMes(int ano, int mes) {
    static constexpr int dias[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (mes < 1 || mes > 12)
        return 0;
    bool bissexto = (ano % 4 == 0 && ano % 100 != 0) || ano % 400 == 0;
    return mes == 2 && bissexto ? 29 : dias[mes - 1];
}

bool TData::Valida() const {
    return Ano >= 1 && Ano <= 9999 && Dia >= 1 && Dia <= DiasNoMes(Ano, Mes);
}

std::string TData::ParaAAAAMMDD() const {
    if (Ano >= 0 && Ano <= 9999 && Mes >= 0 && Mes <= 99 && Dia >= 0 && Dia <= 99) {
        // The usual case, written digit by digit (the import writes two dates per product).
        const char texto[8] = {
            static_cast<char>('0' + Ano / 1000),    static_cast<char>('0' + Ano / 100 % 10),
            static_cast<char>('0' + Ano / 10 % 10), static_cast<char>('0' + Ano % 10),
            static_cast<char>('0' + Mes / 10),      static_cast<char>('0' + Mes % 10),
            static_cast<char>('0' + Dia / 10),      static_cast<char>('0' + Dia % 10)};
        return std::string(texto, sizeof texto);
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d%02d%02d", Ano, Mes, Dia);
    return buffer;
}

TDataHora AgoraLocal() {
    std::time_t agora = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &agora);
#else
    localtime_r(&agora, &local);
#endif
    return {{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
            local.tm_hour,
            local.tm_min,
            local.tm_sec};
}
