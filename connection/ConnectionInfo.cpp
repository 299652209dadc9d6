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

std::string& ArquivoEscolhido() {
    static std::string caminho;
    return caminho;
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
    if (!ArquivoEscolhido().empty())
        return ArquivoEscolhido();
    return PastaDoExecutavel() + NomeArquivo;
}

void TConnectionInfo::UsaArquivo(std::string caminho) {
    ArquivoEscolhido() = std::move(caminho);
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
