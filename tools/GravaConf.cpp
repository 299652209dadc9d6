#include "tools/GravaConf.h"

#include "connection/FormatoConf.h"
#include "platform/Caminho.h"
#include "platform/GravacaoAtomica.h"
#include "tools/MensagensConf.h"

#include <cerrno>
#include <system_error>

namespace {

// Owner reads and writes, the group reads (the store's user is in it), others nothing.
constexpr unsigned ModoNovo = 0640;

void ConfereAPastaDoConf(const std::string& pasta) {
    const int codigo = ConfereAPasta(pasta);
    if (codigo == ENOENT)
        throw EFalhaConf(T(u8"A pasta \"") + Mostravel(pasta) + T(u8"\" não existe."), SaidaFalha);
    if (codigo == ENOTDIR)
        throw EFalhaConf(T(u8"\"") + Mostravel(pasta) + T(u8"\" não é uma pasta."), SaidaFalha);
    if (codigo != 0)
        throw EFalhaConf(T(u8"Não foi possível usar a pasta \"") + Mostravel(pasta) +
                             "\": " + MotivoDoSistema(codigo) + ".",
                         SaidaFalha);
}

} // namespace

std::string DestinoDoConf(const std::string& pasta) {
    ConfereAPastaDoConf(pasta);
    return SegueLinks(JuntaCaminho(pasta, NomeConnectionConf));
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
