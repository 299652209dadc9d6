// File paths as the system takes them.
#include "platform/Caminho.h"

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/Windows1252.h"

#include <dirent.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#endif

#if defined(_WIN32)

namespace {

// The attributes of what stands at the path; INVALID_FILE_ATTRIBUTES when nothing does.
DWORD Atributos(const std::string& caminho) {
    return caminho.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(caminho.c_str());
}

} // namespace

bool ExisteArquivo(const std::string& caminho) {
    const DWORD a = Atributos(caminho);
    return a != INVALID_FILE_ATTRIBUTES &&
           !(a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
}

bool ExistePasta(const std::string& caminho) {
    const DWORD a = Atributos(caminho);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ExisteAlgo(const std::string& caminho) {
    return Atributos(caminho) != INVALID_FILE_ATTRIBUTES;
}

int ConfereAPasta(const std::string& caminho) {
    const DWORD a = Atributos(caminho);
    if (a != INVALID_FILE_ATTRIBUTES)
        return (a & FILE_ATTRIBUTE_DIRECTORY) ? 0 : ENOTDIR;
    switch (caminho.empty() ? ERROR_FILE_NOT_FOUND : GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    default:
        return EIO;
    }
}

std::string SegueLinks(const std::string& caminho) {
    return caminho;
}

std::string CaminhoCompleto(const std::string& nome) {
    if (nome.empty())
        return nome;
    DWORD n = GetFullPathNameA(nome.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return nome;
    std::string caminho(n, '\0');
    n = GetFullPathNameA(nome.c_str(), n, caminho.data(), nullptr);
    if (n == 0 || n >= caminho.size())
        return nome;
    caminho.resize(n);
    return caminho;
}

std::string JuntaCaminho(const std::string& pasta, const std::string& nome) {
    if (pasta.empty() || pasta.back() == '\\' || pasta.back() == '/' || pasta.back() == ':')
        return pasta + nome;
    return pasta + '\\' + nome;
}

std::optional<std::vector<std::string>> ArquivosDaPasta(const std::string& pasta) {
    WIN32_FIND_DATAA dados;
    HANDLE busca = FindFirstFileA(JuntaCaminho(pasta, "*").c_str(), &dados);
    if (busca == INVALID_HANDLE_VALUE)
        return std::nullopt; // even an empty folder holds "." and ".."
    std::vector<std::string> nomes;
    do {
        if (!(dados.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
            nomes.push_back(dados.cFileName);
    } while (FindNextFileA(busca, &dados));
    const bool inteira = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(busca);
    if (!inteira)
        return std::nullopt;
    return nomes;
}

std::string PastaTemporaria() {
    char pasta[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(sizeof pasta, pasta);
    return n > 0 && n < sizeof pasta ? std::string(pasta, n) : std::string(".\\");
}

namespace {

void CriaUmaPasta(const std::string& caminho) {
    CreateDirectoryA(caminho.c_str(), nullptr);
}

void ApagaUmaPasta(const std::string& caminho) {
    RemoveDirectoryA(caminho.c_str());
}

bool Separador(char c) {
    return c == '\\' || c == '/';
}

} // namespace

std::string CaminhoParaTexto(const std::string& caminho) {
    return caminho;
}

#else

namespace {

bool Estado(const std::string& caminho, struct stat& info) {
    return !caminho.empty() && ::stat(caminho.c_str(), &info) == 0;
}

} // namespace

bool ExisteArquivo(const std::string& caminho) {
    struct stat info;
    return Estado(caminho, info) && S_ISREG(info.st_mode);
}

bool ExistePasta(const std::string& caminho) {
    struct stat info;
    return Estado(caminho, info) && S_ISDIR(info.st_mode);
}

bool ExisteAlgo(const std::string& caminho) {
    struct stat info;
    return !caminho.empty() && ::lstat(caminho.c_str(), &info) == 0;
}

int ConfereAPasta(const std::string& caminho) {
    if (caminho.empty())
        return ENOENT;
    struct stat info;
    if (::stat(caminho.c_str(), &info) != 0)
        return errno == ENOTDIR ? ENOENT : errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

std::string SegueLinks(const std::string& caminho) {
    namespace fs = std::filesystem;
    fs::path destino = caminho;
    std::error_code erro;
    for (int passo = 0; passo < 8 && fs::is_symlink(fs::symlink_status(destino, erro)); ++passo) {
        fs::path alvo = fs::read_symlink(destino, erro);
        if (erro)
            break;
        destino = alvo.is_absolute() ? alvo : destino.parent_path() / alvo;
    }
    return destino.string();
}

std::string CaminhoCompleto(const std::string& nome) {
    if (nome.empty())
        return nome;
    // POSIX's narrow names are the file system's bytes: nothing is converted here.
    std::error_code erro;
    std::filesystem::path caminho = std::filesystem::absolute(nome, erro);
    if (erro)
        return nome;
    return caminho.lexically_normal().string();
}

std::string JuntaCaminho(const std::string& pasta, const std::string& nome) {
    if (pasta.empty() || pasta.back() == '/')
        return pasta + nome;
    return pasta + '/' + nome;
}

std::optional<std::vector<std::string>> ArquivosDaPasta(const std::string& pasta) {
    DIR* d = ::opendir(pasta.c_str());
    if (!d)
        return std::nullopt;
    std::vector<std::string> nomes;
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
        if (ExisteArquivo(JuntaCaminho(pasta, e->d_name)))
            nomes.push_back(e->d_name);
        errno = 0;
    }
    const bool inteira = errno == 0;
    ::closedir(d);
    if (!inteira)
        return std::nullopt;
    return nomes;
}

std::string PastaTemporaria() {
    std::error_code erro;
    const auto pasta = std::filesystem::temp_directory_path(erro);
    return erro ? std::string("/tmp") : pasta.string();
}

namespace {

void CriaUmaPasta(const std::string& caminho) {
    ::mkdir(caminho.c_str(), 0777);
}

void ApagaUmaPasta(const std::string& caminho) {
    ::rmdir(caminho.c_str());
}

bool Separador(char c) {
    return c == '/';
}

} // namespace

std::string CaminhoParaTexto(const std::string& caminho) {
    return EhUtf8(caminho) ? DeUtf8(caminho) : caminho;
}

#endif

bool CriaPastas(const std::string& caminho) {
    // Each folder on the way, from the first; those that stand already refuse, harmlessly.
    for (size_t i = 1; i < caminho.size(); ++i)
        if (Separador(caminho[i]) && !Separador(caminho[i - 1]))
            CriaUmaPasta(caminho.substr(0, i));
    CriaUmaPasta(caminho);
    return ExistePasta(caminho);
}

void ApagaPastaDeArquivos(const std::string& pasta) {
    if (const auto nomes = ArquivosDaPasta(pasta))
        for (const std::string& n : *nomes)
            std::remove(JuntaCaminho(pasta, n).c_str());
    ApagaUmaPasta(pasta);
}

std::string CaminhoMostrado(const std::string& nome) {
    return CaminhoParaTexto(CaminhoCompleto(nome));
}
