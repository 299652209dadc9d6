// The folder the program works in.
#include "platform/PastaDeTrabalho.h"

#if defined(_WIN32)
#include <windows.h>
// After windows.h: the known folders' names and SHGetKnownFolderPath.
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>
#endif

#include "platform/Caminho.h"

#if defined(_WIN32)

namespace {

std::wstring SemSeparadorFinal(std::wstring pasta) {
    for (wchar_t& c : pasta)
        if (c == L'/')
            c = L'\\';
    while (pasta.size() > 1 && pasta.back() == L'\\' && pasta[pasta.size() - 2] != L':')
        pasta.pop_back();
    return pasta;
}

std::wstring PastaConhecida(REFKNOWNFOLDERID id) {
    PWSTR caminho = nullptr;
    std::wstring pasta;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &caminho)) && caminho)
        pasta = caminho;
    CoTaskMemFree(caminho);
    return pasta;
}

std::wstring PastaDoPrograma() {
    std::vector<wchar_t> nome(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
        if (n == 0)
            return std::wstring();
        if (n < nome.size()) {
            std::wstring caminho(nome.data(), n);
            auto fim = caminho.find_last_of(L"\\/");
            return fim == std::wstring::npos ? std::wstring() : caminho.substr(0, fim);
        }
        nome.resize(nome.size() * 2);
    }
}

std::wstring PastaAtual() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0)
        return std::wstring();
    std::wstring pasta(n, L'\0');
    n = GetCurrentDirectoryW(n, pasta.data());
    pasta.resize(n);
    return pasta;
}

} // namespace

bool DentroDaPasta(const std::wstring& pasta, const std::wstring& outra) {
    const std::wstring a = SemSeparadorFinal(pasta), b = SemSeparadorFinal(outra);
    if (a.empty() || b.empty() || a.size() < b.size())
        return false;
    if (CompareStringOrdinal(a.data(), static_cast<int>(b.size()), b.data(),
                             static_cast<int>(b.size()), TRUE) != CSTR_EQUAL)
        return false;
    return a.size() == b.size() || a[b.size()] == L'\\' || b.back() == L'\\';
}

bool PastaGravavel(const std::wstring& pasta) {
    const std::wstring nome = SemSeparadorFinal(pasta) + L"\\~cadofertas-" +
                              std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE h = CreateFileW(nome.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(h);
    return true;
}

std::wstring PastaDeTrabalhoPara(const std::wstring& atual) {
    bool impropria = atual.empty() || !PastaGravavel(atual);
    const std::wstring programa = PastaDoPrograma();
    if (!programa.empty() && DentroDaPasta(atual, programa) && DentroDaPasta(programa, atual))
        impropria = true;
    for (const KNOWNFOLDERID* id :
         {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_Windows}) {
        const std::wstring sistema = PastaConhecida(*id);
        if (!sistema.empty() && DentroDaPasta(atual, sistema))
            impropria = true;
    }
    if (!impropria)
        return atual;
    const std::wstring documentos = PastaConhecida(FOLDERID_Documents);
    return documentos.empty() ? atual : documentos;
}

std::string PreparaPastaDeTrabalho() {
    const std::wstring atual = PastaAtual();
    const std::wstring pasta = PastaDeTrabalhoPara(atual);
    if (pasta != atual)
        SetCurrentDirectoryW(pasta.c_str());
    return CaminhoCompleto(".");
}

#else

std::string PreparaPastaDeTrabalho() {
    return CaminhoCompleto(".");
}

#endif
