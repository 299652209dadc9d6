#include "connection/FormatoConf.h"

#include "connection/ConnectionInfo.h"
#include "platform/ProfileString.h"

std::string TextoConnectionConf(const TValoresConf& valores) {
    std::string texto = std::string("[") + SecaoConnectionConf + "]\r\n";
    for (const auto& chave : ChavesConf) {
        texto += chave.Nome;
        texto += '=';
        texto += TConnectionInfo::StrToHex(valores.*chave.Valor);
        texto += "\r\n";
    }
    return texto;
}

TValoresConf LeConnectionConf(const std::string& arquivo) {
    TValoresConf valores;
    for (const auto& chave : ChavesConf) {
        std::string bruto = LeProfileString(SecaoConnectionConf, chave.Nome, "", arquivo);
        if (!bruto.empty()) // an empty value is never decoded
            valores.*chave.Valor = TConnectionInfo::HexToStr(bruto).value_or(std::string());
    }
    return valores;
}
