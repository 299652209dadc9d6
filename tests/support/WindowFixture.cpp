#include "WindowFixture.h"

#include "connection/ConnectionInfo.h"
#include "connection/IdentificacaoServidor.h"

#include <QTest>

void WindowFixture::Open() {
    w.reset();
    TIdentificacaoServidor::Liberar();
    TConnectionInfo::Liberar();
    if (dialogs)
        dialogs->Shown.clear();
    dm = std::make_unique<TDM>();
    w = std::make_unique<TFImportarCadOfertas>(dm->ParaJanela());
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    // A new window is the active one, as a window manager makes it; a bare X server does not.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
}

void WindowFixture::CloseWindow() {
    w.reset();
    dm.reset();
    ScriptedDialogs::Uninstall();
    dialogs = nullptr;
    TConnectionInfo::Liberar();
    TIdentificacaoServidor::Liberar();
}

QString WindowFixture::LastText() const {
    return dialogs->Shown.empty() ? QString() : dialogs->Shown.back().Text;
}

int WindowFixture::ShownCount(const QString& text) const {
    int n = 0;
    for (auto& m : dialogs->Shown)
        n += m.Text == text;
    return n;
}
