#pragma once
// Dialogs for window tests: every message box is recorded and answered from a script, and the
// file dialogs return the paths the test put there; the print dialog is accepted or cancelled
// (printing to a file) or cancelled as scripted. Nothing waits for a person.
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
    std::optional<QString> SalvaArquivo(QWidget* dono, const QString& titulo,
                                        const QString& sugestao, const QString& filtro) override;
    bool ConfiguraImpressao(QWidget* dono, const QString& titulo, QPrinter& impressora,
                            int ultimaPagina) override;
    QString LastFilter;

    std::deque<std::optional<QString>> SaveChoices;  // empty cancels
    QStringList SaveDialogs;                         // "title|suggestion|filter" of each
    std::deque<std::optional<QString>> PrintToFiles; // the file printed to; empty cancels
    QStringList PrintDialogs;                        // "title|last page" of each
};
