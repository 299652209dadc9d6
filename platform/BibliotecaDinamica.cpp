// Loading a shared library at run time.
#include "platform/BibliotecaDinamica.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

TBibliotecaDinamica::TBibliotecaDinamica(const std::string& nome) {
#if defined(_WIN32)
    modulo_ = reinterpret_cast<void*>(LoadLibraryA(nome.c_str()));
#else
    modulo_ = ::dlopen(nome.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

TBibliotecaDinamica::~TBibliotecaDinamica() {
    Descarrega();
}

TBibliotecaDinamica& TBibliotecaDinamica::operator=(TBibliotecaDinamica&& outra) noexcept {
    if (this != &outra) {
        Descarrega();
        modulo_ = outra.modulo_;
        outra.modulo_ = nullptr;
    }
    return *this;
}

void* TBibliotecaDinamica::Simbolo(const char* nome) const {
    if (!modulo_)
        return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(modulo_), nome));
#else
    return ::dlsym(modulo_, nome);
#endif
}

void TBibliotecaDinamica::Descarrega() noexcept {
    if (!modulo_)
        return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(modulo_));
#else
    ::dlclose(modulo_);
#endif
    modulo_ = nullptr;
}
