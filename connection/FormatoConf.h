#pragma once
// The layout of connection.conf, known here only: the section [connection] and eight keys,
// each value the hexadecimal form of its bytes, CR LF line ends. The program reads the file
// (TConnectionInfo), the installer's command writes it, and the tests build theirs from here.
#include <optional>
#include <string>
#include <string_view>

// The decoded values, one text a key; CodFisica stays the text it was given.
struct TValoresConf {
    std::string DatabaseIP;
    std::string MacAdress;
    std::string CodFisica;
    std::string Databasename;
    std::string Usuario;
    std::string Senha;
    std::string Name;
    std::string Cnpj;
};

struct TChaveConf {
    const char* Nome;
    std::string TValoresConf::*Valor;
};

inline constexpr const char* NomeConnectionConf = "connection.conf";
inline constexpr const char* SecaoConnectionConf = "connection";

// The keys in the order the file holds them and the program reads them.
inline constexpr TChaveConf ChavesConf[] = {
    {"DatabaseIP", &TValoresConf::DatabaseIP},
    {"MacAdress", &TValoresConf::MacAdress},
    {"CodFisica", &TValoresConf::CodFisica},
    {"Databasename", &TValoresConf::Databasename},
    {"Usuario", &TValoresConf::Usuario},
    {"Senha", &TValoresConf::Senha},
    {"Name", &TValoresConf::Name},
    {"Cnpj", &TValoresConf::Cnpj},
};

// The stored form of the bytes: two upper-case hexadecimal digits a byte.
std::string CodificaHex(std::string_view bytes);
// The bytes of a stored value, pair by pair (a last unpaired digit is ignored); nullopt when a
// pair is not two hexadecimal digits of either letter case.
std::optional<std::string> DecodificaHex(std::string_view armazenado);

// The whole file: "[connection]" and every key with its encoded value.
std::string TextoConnectionConf(const TValoresConf& valores);

// The values of the file at the path, read with the profile-string rules. A missing key or
// a value that is not pairs of hexadecimal digits reads as the empty text; a missing file
// reads as all empty.
TValoresConf LeConnectionConf(const std::string& arquivo);
