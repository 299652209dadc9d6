#include "db/BibliotecaCliente.h"

#include "platform/Erro.h"
#include "platform/Texto.h"

#include <map>
#include <memory>

namespace {

template <typename F>
void Liga(const TBibliotecaDinamica& biblioteca, F& funcao, const char* nome, bool obrigatoria,
          const std::string& arquivo) {
    funcao = reinterpret_cast<F>(biblioteca.Simbolo(nome));
    if (!funcao && obrigatoria)
        throw EErro(Formata("Function %s not found in %s", {nome, arquivo}));
}

// Every function the access layer calls, bound from the open library, which the table then
// owns; one that is missing fails the whole load, and the library is unloaded with the table.
std::unique_ptr<TBibliotecaCliente> LigaFuncoes(TBibliotecaDinamica biblioteca,
                                                const std::string& nome) {
    auto b = std::make_unique<TBibliotecaCliente>();
    b->NomeArquivo = nome;
    b->Biblioteca = std::move(biblioteca);
    const TBibliotecaDinamica& h = b->Biblioteca;
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
        TBibliotecaDinamica biblioteca(nome);
        // A library that is not the client's is not kept (the failed table unloads it): a later
        // load finds it afresh.
        if (biblioteca.Carregada())
            return LigaFuncoes(std::move(biblioteca), nome);
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
