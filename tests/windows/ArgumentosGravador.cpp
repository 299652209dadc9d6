// Stands in for a started program in the Windows tests: writes each argument the C runtime gave
// it, the program's name first, to "argumentos.txt" in its folder, each followed by a NUL.
#include <cstdio>

int main(int argc, char** argv) {
    std::FILE* f = std::fopen("argumentos.txt", "wb");
    if (!f)
        return 1;
    for (int i = 0; i < argc; ++i) {
        std::fputs(argv[i], f);
        std::fputc('\0', f);
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
