// Stands in for the report viewer in the Windows tests: writes the command line it was started
// with and the folder it was started in to "visualizador-chamado.txt" in that folder, one per
// line, and ends.
#include <windows.h>

#include <cstdio>

int main() {
    char pasta[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, pasta);
    std::FILE* f = std::fopen("visualizador-chamado.txt", "wb");
    if (!f)
        return 1;
    std::fprintf(f, "%s\n%s\n", GetCommandLineA(), pasta);
    return std::fclose(f) == 0 ? 0 : 1;
}
