#pragma once
// Writing connection.conf beside the test program, as the store's installer would.
#include <string>
#include <string_view>

// The hexadecimal form of the bytes, as connection.conf stores every value.
std::string Hex(std::string_view bytes);

struct ConfValues {
    std::string DatabaseIP, Databasename, Usuario, Senha;
    std::string MacAdress = "001122334455", CodFisica = "7", Name = "Loja Teste",
                Cnpj = "00000000000191";
};

// Writes the [connection] section beside the running program and returns the file's path.
std::string WriteConfBesideProgram(const ConfValues& v);
// Writes raw text as connection.conf beside the running program.
std::string WriteRawConfBesideProgram(std::string_view text);
void RemoveConfBesideProgram();
