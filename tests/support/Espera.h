#pragma once
// Waiting for what another program does, with a deadline.
#include <chrono>
#include <functional>
#include <thread>

// Polls the condition until it holds or the time is up; tells which.
inline bool EsperaAte(const std::function<bool()>& condicao,
                      std::chrono::milliseconds limite = std::chrono::seconds(20)) {
    auto fim = std::chrono::steady_clock::now() + limite;
    for (;;) {
        if (condicao())
            return true;
        if (std::chrono::steady_clock::now() >= fim)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
