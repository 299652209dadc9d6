#pragma once
// The MySQL client library, loaded when the first connection opens. Its functions are looked
// up once into a table; every other part of the access layer calls through that table, so
// the program starts and runs without the library until it first connects.
#include "platform/BibliotecaDinamica.h"

#include <mysql.h>

#include <string>
#include <vector>

struct TBibliotecaCliente {
    std::string NomeArquivo;
    // Loaded as long as the table lives: the tables of CarregaBibliotecaCliente, never.
    TBibliotecaDinamica Biblioteca;

    decltype(&mysql_init) init = nullptr;
    decltype(&mysql_options) options = nullptr;
    decltype(&mysql_real_connect) real_connect = nullptr;
    decltype(&mysql_close) close = nullptr;
    decltype(&mysql_real_query) real_query = nullptr;
    decltype(&mysql_store_result) store_result = nullptr;
    decltype(&mysql_free_result) free_result = nullptr;
    decltype(&mysql_num_rows) num_rows = nullptr;
    decltype(&mysql_num_fields) num_fields = nullptr;
    decltype(&mysql_fetch_fields) fetch_fields = nullptr;
    decltype(&mysql_fetch_row) fetch_row = nullptr;
    decltype(&mysql_fetch_lengths) fetch_lengths = nullptr;
    decltype(&mysql_field_count) field_count = nullptr;
    decltype(&mysql_error) error = nullptr;
    // MariaDB's connector only: tells the session's status flags (NO_BACKSLASH_ESCAPES).
    decltype(&mariadb_get_infov) get_infov = nullptr;
};

// The library's file names, the MariaDB connector first, the MySQL client second.
std::vector<std::string> NomesBibliotecaCliente();

// Loads the library on first use and returns its function table; later calls return the same
// table. An empty list means the usual names. Fails with "Dynamic library %s not found".
const TBibliotecaCliente& CarregaBibliotecaCliente(const std::vector<std::string>& nomes = {});
