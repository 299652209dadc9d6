#pragma once
// Dialogs for window tests: every message box is recorded and answered from a script, and the
// file dialog returns the path the test put there. Nothing waits for a person.
#include "ui/Dialogos.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

struct ShownMessage {
    QString Text;
    QString Caption;
    TDialogos::Icone Icon;
    TDialogos::Botoes Buttons;
    bool Owned; // owned by a window rather than standing alone
};

class ScriptedDialogs : public TDialogos {
public:
    // Installs itself for the lifetime of the object, and restores the previous dialogs after.
    static ScriptedDialogs& Install();
    static void Uninstall();

    std::vector<ShownMessage> Shown;
    std::deque<Resposta> Answers;                    // Yes/No boxes; empty answers No
    std::deque<std::optional<QString>> FileChoices;  // empty cancels
    std::function<void(const ShownMessage&)> OnShow; // runs while the box would be open
    int FileDialogs = 0;

    Resposta Mensagem(QWidget* dono, const QString& texto, const QString& titulo, Icone icone,
                      Botoes botoes) override;
    std::optional<QString> AbreArquivo(QWidget* dono, const QString& descricao,
                                       const QString& padrao) override;
    QString LastFilter;
};
