#include "tools/GravaConf.h"

#include "connection/FormatoConf.h"
#include "platform/GravacaoAtomica.h"
#include "tools/MensagensConf.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// Owner reads and writes, the group reads (the store's user is in it), others nothing.
constexpr unsigned ModoNovo = 0640;

void ConfereAPasta(const std::string& pasta) {
    std::error_code erro;
    auto estado = fs::status(pasta, erro);
    if (estado.type() == fs::file_type::not_found)
        throw EFalhaConf(T(u8"A pasta \"") + Mostravel(pasta) + T(u8"\" não existe."), SaidaFalha);
    if (erro)
        throw EFalhaConf(T(u8"Não foi possível usar a pasta \"") + Mostravel(pasta) +
                             "\": " + MotivoDoSistema(erro.value()) + ".",
                         SaidaFalha);
    if (!fs::is_directory(estado))
        throw EFalhaConf(T(u8"\"") + Mostravel(pasta) + T(u8"\" não é uma pasta."), SaidaFalha);
}

} // namespace

std::string DestinoDoConf(const std::string& pasta) {
    ConfereAPasta(pasta);
    fs::path destino = fs::path(pasta) / NomeConnectionConf;
    std::error_code erro;
    // A link to a link is followed too, a few steps at the most (a loop ends there).
    for (int passo = 0; passo < 8 && fs::is_symlink(fs::symlink_status(destino, erro)); ++passo) {
        fs::path alvo = fs::read_symlink(destino, erro);
        if (erro)
            break;
        destino = alvo.is_absolute() ? alvo : destino.parent_path() / alvo;
    }
    return destino.string();
}

void GravaConnectionConf(const std::string& destino, const std::string& texto, bool sobrescrever) {
    try {
        if (sobrescrever)
            SubstituiArquivo(destino, texto, ModoNovo);
        else
            GravaArquivoNovo(destino, texto, ModoNovo);
    } catch (const std::system_error& e) {
        if (e.code().value() == EEXIST && !sobrescrever)
            throw ArquivoExiste(destino);
        throw EFalhaConf(T(u8"Não foi possível gravar \"") + Mostravel(destino) +
                             "\": " + MotivoDoSistema(e.code().value()) + ".",
                         SaidaFalha);
    }
}
