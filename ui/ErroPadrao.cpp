#include "ui/ErroPadrao.h"

#include "platform/Erro.h"
#include "platform/Executavel.h"
#include "ui/Dialogos.h"
#include "ui/Texto1252.h"

#include <cctype>

void MostraErro(std::exception_ptr erro) {
    std::string mensagem;
    try {
        std::rethrow_exception(erro);
    } catch (const EAbort&) {
        return;
    } catch (const EErro& e) {
        mensagem = e.Message();
    } catch (const std::exception& e) {
        mensagem = e.what();
    } catch (...) {
        mensagem = "Unknown error";
    }
    TDialogos::Atual().Mensagem(nullptr, ParaQString(TextoDoErro(mensagem)), TituloDaAplicacao(),
                                TDialogos::Icone::Erro, TDialogos::Botoes::Ok);
}

std::string TituloDaAplicacao(const std::string& caminhoExecutavel) {
    auto barra = caminhoExecutavel.find_last_of("/\\");
    std::string nome =
        barra == std::string::npos ? caminhoExecutavel : caminhoExecutavel.substr(barra + 1);
    nome = nome.substr(0, nome.find('.'));
    for (size_t i = 1; i < nome.size(); ++i)
        nome[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(nome[i])));
    return nome;
}

QString TituloDaAplicacao() {
    return ParaQString(TituloDaAplicacao(CaminhoDoExecutavel()));
}

std::string TextoDoErro(const std::string& mensagem) {
    if (!mensagem.empty() && static_cast<unsigned char>(mensagem.back()) > '.')
        return mensagem + ".";
    return mensagem;
}
