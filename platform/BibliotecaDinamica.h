#pragma once
// A shared library loaded at run time (dlopen on POSIX, LoadLibraryA on Windows): unloaded when
// its owner ends, moved but never copied.
#include <string>

class TBibliotecaDinamica {
public:
    TBibliotecaDinamica() noexcept = default;
    // Loads the library by the system's search for that name; Carregada() tells whether it could.
    explicit TBibliotecaDinamica(const std::string& nome);
    ~TBibliotecaDinamica();
    TBibliotecaDinamica(TBibliotecaDinamica&& outra) noexcept : modulo_(outra.modulo_) {
        outra.modulo_ = nullptr;
    }
    TBibliotecaDinamica& operator=(TBibliotecaDinamica&& outra) noexcept;
    TBibliotecaDinamica(const TBibliotecaDinamica&) = delete;
    TBibliotecaDinamica& operator=(const TBibliotecaDinamica&) = delete;

    bool Carregada() const noexcept { return modulo_ != nullptr; }
    // The address of an exported function or variable; nullptr when the library has none.
    void* Simbolo(const char* nome) const;

private:
    void Descarrega() noexcept;
    void* modulo_ = nullptr;
};
