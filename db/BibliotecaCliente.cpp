#include "db/BibliotecaCliente.h"

#include "platform/Erro.h"
#include "platform/Texto.h"

#include <map>
#include <memory>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

void* AbreBiblioteca(const std::string& nome) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(LoadLibraryA(nome.c_str()));
#else
    return ::dlopen(nome.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void FechaBiblioteca(void* biblioteca) {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(biblioteca));
#else
    ::dlclose(biblioteca);
#endif
}

void* Simbolo(void* biblioteca, const char* nome) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(biblioteca), nome));
#else
    return ::dlsym(biblioteca, nome);
#endif
}

template <typename F>
void Liga(void* biblioteca, F& funcao, const char* nome, bool obrigatoria,
          const std::string& arquivo) {
    funcao = reinterpret_cast<F>(Simbolo(biblioteca, nome));
    if (!funcao && obrigatoria)
        throw EErro(Formata("Function %s not found in %s", {nome, arquivo}));
}

// Every function the access layer calls, bound from the open library; one that is missing
// fails the whole load.
std::unique_ptr<TBibliotecaCliente> LigaFuncoes(void* h, const std::string& nome) {
    auto b = std::make_unique<TBibliotecaCliente>();
    b->NomeArquivo = nome;
    Liga(h, b->init, "mysql_init", true, nome);
    Liga(h, b->options, "mysql_options", true, nome);
    Liga(h, b->real_connect, "mysql_real_connect", true, nome);
    Liga(h, b->close, "mysql_close", true, nome);
    Liga(h, b->real_query, "mysql_real_query", true, nome);
    Liga(h, b->store_result, "mysql_store_result", true, nome);
    Liga(h, b->free_result, "mysql_free_result", true, nome);
    Liga(h, b->num_rows, "mysql_num_rows", true, nome);
    Liga(h, b->num_fields, "mysql_num_fields", true, nome);
    Liga(h, b->fetch_fields, "mysql_fetch_fields", true, nome);
    Liga(h, b->fetch_row, "mysql_fetch_row", true, nome);
    Liga(h, b->fetch_lengths, "mysql_fetch_lengths", true, nome);
    Liga(h, b->field_count, "mysql_field_count", true, nome);
    Liga(h, b->error, "mysql_error", true, nome);
    Liga(h, b->get_infov, "mariadb_get_infov", false, nome);
    return b;
}

std::unique_ptr<TBibliotecaCliente> Carrega(const std::vector<std::string>& nomes) {
    for (const auto& nome : nomes) {
        void* h = AbreBiblioteca(nome);
        if (!h)
            continue;
        try {
            return LigaFuncoes(h, nome); // the library stays loaded until the process ends
        } catch (...) {
            // A library that is not the client's is not kept: a later load finds it afresh.
            FechaBiblioteca(h);
            throw;
        }
    }
    throw EErro(Formata("Dynamic library %s not found", {nomes.empty() ? "" : nomes.front()}));
}

} // namespace

std::vector<std::string> NomesBibliotecaCliente() {
#if defined(_WIN32)
    return {"libmariadb.dll", "libmysql.dll"};
#else
    return {"libmariadb.so.3", "libmysqlclient.so.21"};
#endif
}

const TBibliotecaCliente& CarregaBibliotecaCliente(const std::vector<std::string>& nomes) {
    // One table per list of names, so that a test can ask for a library that does not exist
    // without disturbing the real one. The tables are never destroyed: connections held by
    // other static objects (the identification connection of the settings) close through them
    // while the program exits, whatever the order in which static objects go.
    static auto& carregadas =
        *new std::map<std::vector<std::string>, std::unique_ptr<TBibliotecaCliente>>();
    const auto& chave = nomes.empty() ? NomesBibliotecaCliente() : nomes;
    auto& b = carregadas[chave];
    if (!b)
        b = Carrega(chave);
    return *b;
}
