#pragma once
// Qt on Windows opens the system's own file dialog in place of its own: this answers it as a
// person would, from the keyboard. Called from the dialog's modal loop once Qt has shown it.
#include <QString>

#include <optional>

// Types the choice into the dialog's file name field and presses Enter, or with none presses
// Escape. It waits for the dialog to come up without holding the modal loop.
void RespondeDialogoArquivoWindows(const std::optional<QString>& escolha);
