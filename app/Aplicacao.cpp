#include "app/Aplicacao.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/Inicio.h"
#include "platform/CursorEspera.h"
#include "platform/Erro.h"
#include "platform/Executavel.h"
#include "ui/DatePicker.h"
#include "ui/Dialogos.h"
#include "ui/Texto1252.h"

namespace {
void MostraCursorEspera() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
void RestauraCursor() {
    QApplication::restoreOverrideCursor();
}
void MostraErroDeData(const std::string& mensagem) {
    TAplicacao::MostraErro(std::make_exception_ptr(EErro(mensagem)));
}
} // namespace

TAplicacao::TAplicacao(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(Titulo());
    DefineCursorEspera(MostraCursorEspera, RestauraCursor);
    TDatePicker::DefineMostraErro(MostraErroDeData);
    // The standard dialogs in Brazilian Portuguese.
    auto* traducao = new QTranslator(this);
    if (traducao->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(traducao);
}

TAplicacao::~TAplicacao() {
    DefineCursorEspera(nullptr, nullptr);
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
