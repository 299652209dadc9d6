// A Windows program draws through Wine on the display the suite gave Wine (DISPLAY, an Xvfb of
// the run's own): it starts no X server itself, and a run that asks it to fails loudly.
#include "XvfbDisplay.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void Falha() {
    std::fprintf(stderr, "Xvfb: a Windows program starts no X server; Wine draws on the display "
                         "the suite gives it\n");
    std::exit(2);
}

} // namespace

std::unique_ptr<XvfbDisplay> XvfbDisplay::StartIfAsked() {
    const char* pedido = std::getenv("CADOFERTAS_XVFB");
    if (pedido && std::strcmp(pedido, "1") == 0)
        Falha();
    return nullptr;
}

std::unique_ptr<XvfbDisplay> XvfbDisplay::Start() {
    Falha();
}

XvfbDisplay::~XvfbDisplay() = default;

// Wine's ntdll says which Wine it is; Windows' has no such function.
bool SobWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}
