#include "tools/EscreveConf.h"

#include "connection/FormatoConf.h"
#include "platform/Caminho.h"
#include "platform/Executavel.h"
#include "tools/GravaConf.h"
#include "tools/OpcoesConf.h"
#include "tools/SenhaConf.h"

#include <ostream>

namespace {

// Writes the file and returns where it went.
std::string Escreve(TOpcoesConf& opcoes, int entrada) {
    // Everything that can be checked before the password is asked for.
    ValidaValores(opcoes.Valores);
    std::string pasta = opcoes.Pasta.empty() ? PastaDoExecutavel() : opcoes.Pasta;
    std::string destino = DestinoDoConf(pasta);
    if (!opcoes.Sobrescrever && ExisteAlgo(destino))
        throw ArquivoExiste(destino);
    opcoes.Valores.Senha = LeSenha(opcoes, entrada);
    ValidaValores(opcoes.Valores);
    GravaConnectionConf(destino, TextoConnectionConf(opcoes.Valores), opcoes.Sobrescrever);
    return destino;
}

void Relata(const std::string& arquivo, const TValoresConf& v, std::ostream& saida) {
    saida << T(u8"connection.conf gravado: ") << Mostravel(CaminhoCompleto(arquivo)) << '\n'
          << T(u8"  servidor: ") << Mostravel(v.DatabaseIP) << '\n'
          << T(u8"  banco:    ") << Mostravel(v.Databasename) << '\n'
          << T(u8"  usuário:  ") << Mostravel(v.Usuario) << '\n'
          << T(u8"  senha:    (não mostrada)") << '\n';
}

} // namespace

int EscreveConnectionConf(const std::vector<std::string>& argumentos, int entrada,
                          std::ostream& saida, std::ostream& erros) {
    try {
        TOpcoesConf opcoes = LeOpcoes(argumentos);
        if (opcoes.Ajuda) {
            saida << TextoAjuda();
            return SaidaOk;
        }
        Relata(Escreve(opcoes, entrada), opcoes.Valores, saida);
        return SaidaOk;
    } catch (const EFalhaConf& e) {
        erros << "escreve-connection-conf: " << e.what() << '\n';
        return e.CodigoSaida();
    } catch (const std::exception& e) {
        erros << "escreve-connection-conf: " << e.what() << '\n';
        return SaidaFalha;
    }
}
