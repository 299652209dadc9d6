#include "DialogoArquivoWindows.h"

#include <QTimer>

#include <windows.h>

namespace {

// The system's file dialog of this thread, once it is up: a visible dialog window (#32770).
HWND DialogoAberto() {
    HWND achado = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND janela, LPARAM resultado) -> BOOL {
            wchar_t classe[16] = {};
            GetClassNameW(janela, classe, 16);
            if (IsWindowVisible(janela) && lstrcmpW(classe, L"#32770") == 0) {
                *reinterpret_cast<HWND*>(resultado) = janela;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&achado));
    return achado;
}

// The file name field: the dialog's first visible, enabled edit box.
HWND CampoNome(HWND dialogo) {
    HWND achado = nullptr;
    EnumChildWindows(
        dialogo,
        [](HWND janela, LPARAM resultado) -> BOOL {
            wchar_t classe[16] = {};
            GetClassNameW(janela, classe, 16);
            if (IsWindowVisible(janela) && IsWindowEnabled(janela) &&
                lstrcmpiW(classe, L"Edit") == 0) {
                *reinterpret_cast<HWND*>(resultado) = janela;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&achado));
    return achado;
}

// A key pressed and released on the window, as the keyboard delivers it.
void Tecla(HWND janela, WPARAM tecla) {
    const LPARAM varredura = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(tecla), 0)) << 16;
    PostMessageW(janela, WM_KEYDOWN, tecla, varredura | 1);
    PostMessageW(janela, WM_KEYUP, tecla, varredura | 1 | (1u << 30) | (1u << 31));
}

void Responde(const std::optional<QString>& escolha, int tentativas) {
    HWND dialogo = DialogoAberto();
    HWND campo = dialogo ? CampoNome(dialogo) : nullptr;
    if (!campo) {
        if (tentativas > 0)
            QTimer::singleShot(20, [escolha, tentativas] { Responde(escolha, tentativas - 1); });
        else
            qWarning("The system's file dialog did not come up.");
        return;
    }
    if (!escolha) {
        Tecla(campo, VK_ESCAPE);
        return;
    }
    // Into the name field, its text replaced by what is typed, then Enter.
    SetForegroundWindow(dialogo);
    SetFocus(campo);
    PostMessageW(campo, EM_SETSEL, 0, -1);
    for (QChar c : *escolha)
        PostMessageW(campo, WM_CHAR, c.unicode(), 1);
    Tecla(campo, VK_RETURN);
}

} // namespace

void RespondeDialogoArquivoWindows(const std::optional<QString>& escolha) {
    Responde(escolha, 500);
}
