// connection.conf as it may come: any bytes at all. The profile reader never fails and gives
// values that stand in the file; HexToStr gives exactly the bytes that the digit pairs spell and
// refuses anything else; the port split gives back the server and port that a "server:port"
// text holds.
#include "FuzzSupport.h"
#include "connection/ConfiguraConexao.h"
#include "connection/ConnectionInfo.h"
#include "platform/ProfileString.h"
#include "platform/Windows1252.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdint>
#include <string>

namespace {

constexpr const char* Padrao = "<nenhum>";

std::string Maiusculas(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The stored form of the bytes; each digit's letter case taken from the bits of caixa.
std::string Hex(std::string_view bytes, std::uint8_t caixa) {
    std::string saida = CodificaHex(bytes);
    for (std::size_t k = 0; k < saida.size(); ++k)
        if (!((caixa >> (k % 8)) & 1))
            saida[k] = static_cast<char>(std::tolower(static_cast<unsigned char>(saida[k])));
    return saida;
}

// HexToStr against the pairs read one by one with the standard library's base-16 parser.
void ConfereHexToStr(std::string_view armazenado) {
    auto decodificado = TConnectionInfo::HexToStr(armazenado);
    std::string esperado;
    bool valido = true;
    for (std::size_t k = 0; k + 1 < armazenado.size(); k += 2) {
        unsigned valor = 0;
        const char* p = armazenado.data() + k;
        auto [fim, erro] = std::from_chars(p, p + 2, valor, 16);
        if (erro != std::errc() || fim != p + 2) {
            valido = false;
            break;
        }
        esperado += static_cast<char>(valor);
    }
    CONFERE(decodificado.has_value() == valido);
    if (valido)
        CONFERE(*decodificado == esperado);
}

void ConfereExtrairPorta(const std::string& host) {
    std::string servidor = "?";
    int32_t porta = -1;
    TConfiguraConexaoBase::ExtrairPorta(host, servidor, porta);
    CONFERE(porta >= 0);
    CONFERE(servidor.size() <= host.size());
    if (host.find(':') == std::string::npos) {
        CONFERE(servidor == host);
        CONFERE(porta == 3306);
    }
    // The server is what is left of the host when pieces are taken out of it.
    std::size_t j = 0;
    for (char c : host)
        if (j < servidor.size() && servidor[j] == c)
            ++j;
    CONFERE(j == servidor.size());
}

// A "server:port" text made from the input: the server without colons, the port's digits.
void ConfereServidorEPorta(std::string_view nome, std::string_view digitosBrutos) {
    std::string servidor;
    for (char c : nome)
        if (c != ':')
            servidor += c;
    std::string digitos;
    for (char c : digitosBrutos)
        digitos += static_cast<char>('0' + static_cast<unsigned char>(c) % 10);
    std::string s = "?";
    int32_t porta = -1;
    TConfiguraConexaoBase::ExtrairPorta(servidor + ":" + digitos, s, porta);
    if (digitos.empty()) {
        CONFERE(s == servidor);
        CONFERE(porta == 3306);
        return;
    }
    // The digits occur in the server only when the server holds a colon, which it does not.
    CONFERE(s == servidor);
    long long valor = 0;
    bool cabe = true;
    for (char c : digitos) {
        valor = valor * 10 + (c - '0');
        if (valor > INT32_MAX) {
            cabe = false;
            break;
        }
    }
    CONFERE(porta == (cabe ? valor : 3306));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    const std::string& arquivo = ArquivoDeTrabalho("connection.conf");
    const std::string_view bytes(reinterpret_cast<const char*>(dados), tamanho);

    // 1. The input as the whole file; one that opens with UTF-8's mark is read as UTF-8 text.
    EscreveArquivo(arquivo, bytes);
    const std::string texto =
        bytes.starts_with("\xEF\xBB\xBF") ? DeUtf8(bytes.substr(3)) : std::string(bytes);
    for (const auto& c : ChavesConf) {
        const char* chave = c.Nome;
        std::string valor = LeProfileString(SecaoConnectionConf, chave, Padrao, arquivo);
        CONFERE(LeProfileString("CONNECTION", Maiusculas(chave), Padrao, arquivo) == valor);
        if (valor == Padrao)
            continue;
        CONFERE(valor.size() <= 2047);
        CONFERE(valor.find_first_of("\r\n") == std::string::npos);
        CONFERE(texto.find(valor) != std::string::npos);
        ConfereHexToStr(valor);
        if (auto d = TConnectionInfo::HexToStr(valor))
            ConfereExtrairPorta(*d);
    }

    // 2. The input as one stored value, and as a host.
    ConfereHexToStr(bytes);
    ConfereExtrairPorta(std::string(bytes));

    // 3. Any bytes, hex-encoded into a file the way the installer writes it, read back whole.
    TLeitorFuzz leitor(dados, tamanho);
    const std::uint8_t forma = leitor.Byte();
    const std::uint8_t caixa = leitor.Byte();
    std::string valor(leitor.Resto().substr(0, 1023)); // 2046 digits: within the 2047 kept
    std::string hex = Hex(valor, caixa);
    CONFERE(TConnectionInfo::HexToStr(hex) == valor);
    CONFERE(TConnectionInfo::HexToStr(hex + "7") == valor); // a last unpaired digit is ignored
    std::string linha = (forma & 1) ? "databasename" : "Databasename";
    linha += (forma & 2) ? " = " : "=";
    linha += (forma & 4) ? "\"" + hex + "\"" : hex;
    std::string conf = std::string((forma & 8) ? "[Connection]" : "[connection]") +
                       ((forma & 16) ? "\n" : "\r\n") + linha + ((forma & 32) ? "\n" : "\r\n");
    EscreveArquivo(arquivo, conf);
    std::string lido = LeProfileString("connection", "Databasename", Padrao, arquivo);
    CONFERE(lido == hex || (hex.empty() && lido == Padrao) || (hex.empty() && lido.empty()));
    CONFERE(TConnectionInfo::HexToStr(lido).value_or("") == valor || lido == Padrao);

    // 4. A server and port put together from the input.
    const std::size_t meio = valor.size() / 2;
    ConfereServidorEPorta(std::string_view(valor).substr(0, meio),
                          std::string_view(valor).substr(meio, 12));
    return 0;
}
