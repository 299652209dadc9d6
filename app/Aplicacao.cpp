#include "app/Aplicacao.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "platform/CursorEspera.h"
#include "ui/ErroPadrao.h"

namespace {
void MostraCursorEspera() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
void RestauraCursor() {
    QApplication::restoreOverrideCursor();
}
} // namespace

TAplicacao::TAplicacao(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(TituloDaAplicacao());
    DefineCursorEspera(MostraCursorEspera, RestauraCursor);
    // The standard dialogs in Brazilian Portuguese.
    auto* traducao = new QTranslator(this);
    if (traducao->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(traducao);
}

TAplicacao::~TAplicacao() {
    DefineCursorEspera(nullptr, nullptr);
}

bool TAplicacao::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        MostraErro(std::current_exception());
        return true;
    }
}
