#include "Conf.h"

#include "TempDir.h"
#include "connection/ConnectionInfo.h"

#include <cstdio>

std::string Hex(std::string_view bytes) {
    static const char* digitos = "0123456789ABCDEF";
    std::string saida;
    for (unsigned char c : bytes) {
        saida += digitos[c >> 4];
        saida += digitos[c & 15];
    }
    return saida;
}

std::string WriteRawConfBesideProgram(std::string_view text) {
    auto path = TConnectionInfo::CaminhoArquivo();
    WriteAll(path, text);
    return path;
}

std::string WriteConfBesideProgram(const ConfValues& v) {
    std::string text = "[connection]\r\n";
    auto key = [&](const char* k, const std::string& value) {
        text += std::string(k) + "=" + Hex(value) + "\r\n";
    };
    key("DatabaseIP", v.DatabaseIP);
    key("MacAdress", v.MacAdress);
    key("CodFisica", v.CodFisica);
    key("Databasename", v.Databasename);
    key("Usuario", v.Usuario);
    key("Senha", v.Senha);
    key("Name", v.Name);
    key("Cnpj", v.Cnpj);
    return WriteRawConfBesideProgram(text);
}

void RemoveConfBesideProgram() {
    std::remove(TConnectionInfo::CaminhoArquivo().c_str());
}
