#include "connection/FormatoConf.h"

#include "platform/ProfileString.h"

namespace {

int DigitoHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string CodificaHex(std::string_view bytes) {
    static constexpr char Digitos[] = "0123456789ABCDEF";
    std::string saida;
    saida.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        saida += Digitos[c >> 4];
        saida += Digitos[c & 15];
    }
    return saida;
}

std::optional<std::string> DecodificaHex(std::string_view armazenado) {
    std::string saida;
    saida.reserve(armazenado.size() / 2);
    for (size_t k = 0; k + 1 < armazenado.size(); k += 2) {
        int alto = DigitoHex(armazenado[k]);
        int baixo = DigitoHex(armazenado[k + 1]);
        if (alto < 0 || baixo < 0)
            return std::nullopt;
        saida += static_cast<char>(alto * 16 + baixo);
    }
    return saida;
}

std::string TextoConnectionConf(const TValoresConf& valores) {
    std::string texto = std::string("[") + SecaoConnectionConf + "]\r\n";
    for (const auto& chave : ChavesConf) {
        texto += chave.Nome;
        texto += '=';
        texto += CodificaHex(valores.*chave.Valor);
        texto += "\r\n";
    }
    return texto;
}

TValoresConf LeConnectionConf(const std::string& arquivo) {
    TValoresConf valores;
    for (const auto& chave : ChavesConf) {
        std::string bruto = LeProfileString(SecaoConnectionConf, chave.Nome, "", arquivo);
        if (!bruto.empty()) // an empty value is never decoded
            valores.*chave.Valor = DecodificaHex(bruto).value_or(std::string());
    }
    return valores;
}
