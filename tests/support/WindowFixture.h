#pragma once
// The import window of a GUI test and what it stands on: the scripted dialogs, the data module
// and the connection singletons, which every window must find fresh, as at the program's start.
#include "ScriptedDialogs.h"
#include "app/UDM.h"
#include "ui/UImportarCadOferta.h"

#include <QString>

#include <memory>

class WindowFixture {
protected:
    ScriptedDialogs* dialogs = nullptr; // installed by the test before Open(), when it scripts them
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TFImportarCadOfertas> w;

    // Replaces the window with a new one made as the program makes it (connection settings and
    // identification read again, a new data module) and shown; the boxes shown so far are
    // forgotten. A window that is not exposed fails the test.
    void Open();
    // The window, the data module, the dialogs and the connection singletons, in that order.
    void CloseWindow();

    QString LastText() const; // of the latest box, empty when none was shown
    int ShownCount(const QString& text) const;
};
