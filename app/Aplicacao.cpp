#include "app/Aplicacao.h"

#include "app/Inicio.h"
#include "platform/Erro.h"
#include "platform/Executavel.h"
#include "ui/Dialogos.h"
#include "ui/Texto1252.h"

TAplicacao::TAplicacao(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(Titulo());
}

QString TAplicacao::Titulo() {
    return ParaQString(TituloDaAplicacao(CaminhoDoExecutavel()));
}

bool TAplicacao::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        MostraErro(std::current_exception());
        return true;
    }
}

void TAplicacao::MostraErro(std::exception_ptr erro) {
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
    TDialogos::Atual().Mensagem(nullptr, ParaQString(TextoDoErro(mensagem)), Titulo(),
                                TDialogos::Icone::Erro, TDialogos::Botoes::Ok);
}
