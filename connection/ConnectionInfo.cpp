#include "connection/ConnectionInfo.h"

#include "connection/Dao.h"
#include "db/MyConnection.h"
#include "platform/Executavel.h"
#include "platform/Rede.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <utility>

namespace {

std::unique_ptr<TConnectionInfo>& Instancia() {
    static std::unique_ptr<TConnectionInfo> instancia;
    return instancia;
}

int DigitoHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IgualSemCaixa(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

TConnectionInfo& TConnectionInfo::GetInstance() {
    auto& instancia = Instancia();
    if (!instancia) {
        instancia.reset(new TConnectionInfo()); // private constructor
        instancia->Load();
    }
    return *instancia;
}

void TConnectionInfo::Liberar() noexcept {
    Instancia().reset();
}

TConnectionInfo::~TConnectionInfo() {
    if (conexao_)
        conexao_->Disconnect();
}

std::string TConnectionInfo::CaminhoArquivo() {
    return PastaDoExecutavel() + NomeArquivo;
}

std::optional<std::string> TConnectionInfo::HexToStr(std::string_view armazenado) {
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

std::string TConnectionInfo::StrToHex(std::string_view bytes) {
    static constexpr char Digitos[] = "0123456789ABCDEF";
    std::string saida;
    saida.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        saida += Digitos[c >> 4];
        saida += Digitos[c & 15];
    }
    return saida;
}

void TConnectionInfo::Load() {
    TValoresConf lidos = LeConnectionConf(CaminhoArquivo());
    databaseIP_ = std::move(lidos.DatabaseIP);
    macAdress_ = std::move(lidos.MacAdress);
    const std::string& codFisica = lidos.CodFisica;
    database_ = std::move(lidos.Databasename);
    usuario_ = std::move(lidos.Usuario);
    senha_ = std::move(lidos.Senha);
    name_ = std::move(lidos.Name);
    cnpj_ = std::move(lidos.Cnpj);

    int32_t valor = 0;
    auto fim = codFisica.data() + codFisica.size();
    auto [p, erro] = std::from_chars(codFisica.data(), fim, valor);
    codFisica_ = (!codFisica.empty() && erro == std::errc() && p == fim) ? valor : 0;
}

std::string TConnectionInfo::GetHost() const {
    if (IgualSemCaixa(databaseIP_, "localhost"))
        return GetLocalIP();
    return databaseIP_;
}

TMyConnection& TConnectionInfo::GetConnection() {
    if (!conexao_)
        conexao_ = TDao::CreateConnection(GetHost(), GetDatabase(), GetUser(), GetPassword());
    return *conexao_;
}

std::string TConnectionInfo::GetLocalIP() {
    return EnderecoLocal();
}
