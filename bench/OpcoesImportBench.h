#pragma once
// import_bench's command line: the file sizes, the rounds, where the figures go, the server's
// address and the settings (a durable log, a real X display, a store's network).
#include <string>
#include <vector>

struct TOpcoes {
    std::vector<int> Linhas{10000, 50000};
    int Rodadas = 0; // 0: 7 for up to 10,000 lines, 5 above
    std::string Markdown;
    std::string Endereco = "127.0.0.40";
    // By default the server writes its redo log at every commit but syncs it to the disk about
    // once a second, so that the round trips, not this machine's disk, set the floor; with
    // --durable every commit waits for the disk, as the server's default has it.
    bool Duravel = false;
    // With --xvfb the window runs on an X server of its own instead of the offscreen platform.
    bool Xvfb = false;
    // With --relay ADDRESS both sides reach the server through a relay listening there that
    // holds every chunk 0.25 ms each way, as a store's network would.
    std::string Relay;
};

// Reads the options; an unknown one, a missing value or an address off the loopback throws.
TOpcoes LeOpcoes(int argc, char** argv);
