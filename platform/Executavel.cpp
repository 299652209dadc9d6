#include "platform/Executavel.h"

#include "platform/Erro.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <climits>
#include <unistd.h>
#endif

std::string CaminhoDoExecutavel() {
#if defined(_WIN32)
    char buffer[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, n);
#else
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0)
        throw EErro("Cannot find the running program's path");
    return std::string(buffer, static_cast<size_t>(n));
#endif
}

std::string PastaDoExecutavel() {
    std::string caminho = CaminhoDoExecutavel();
#if defined(_WIN32)
    auto fim = caminho.find_last_of("\\/:");
#else
    auto fim = caminho.find_last_of('/');
#endif
    return fim == std::string::npos ? std::string() : caminho.substr(0, fim + 1);
}
