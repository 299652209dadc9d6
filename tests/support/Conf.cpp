#include "Conf.h"

#include "TempDir.h"
#include "connection/ConnectionInfo.h"

#include <cstdio>

ConfValues::ConfValues() {
    MacAdress = "001122334455";
    CodFisica = "7";
    Name = "Loja Teste";
    Cnpj = "00000000000191";
}

std::string WriteRawConfBesideProgram(std::string_view text) {
    auto path = TConnectionInfo::CaminhoArquivo();
    WriteAll(path, text);
    return path;
}

std::string WriteConfBesideProgram(const TValoresConf& v) {
    return WriteRawConfBesideProgram(TextoConnectionConf(v));
}

void RemoveConfBesideProgram() {
    std::remove(TConnectionInfo::CaminhoArquivo().c_str());
}
