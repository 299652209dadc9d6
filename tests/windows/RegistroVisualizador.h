#pragma once
// The record the viewer's stand-in (VisualizadorGravador.cpp) writes in the folder it was
// started in: its command line and that folder, one per line.
#include "TempDir.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

// Waits for the record, which a viewer started and not waited for writes a moment later; empty
// when none came within half a minute.
inline std::string RegistroDoVisualizador(const std::filesystem::path& pasta) {
    auto registro = pasta / "visualizador-chamado.txt";
    for (int i = 0; i < 300 && !std::filesystem::exists(registro); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!std::filesystem::exists(registro))
        return "";
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // let it finish writing
    return ReadAll(registro);
}
