#pragma once
// File paths as the system takes them. A path is the bytes a file is opened by: on Windows,
// text of the ANSI code page (Windows-1252 on the stores' machines), which the system's own "A"
// calls convert as they open the file (CreateFileA, fopen); elsewhere, the file system's bytes.
// Every check that a file exists, every path made full and every path shown in a message goes
// through here, so that what is checked and shown is the file that is opened: never through
// std::filesystem's narrow strings, whose encoding on mingw-w64 is not the code page, so that a
// name with accents would be converted a second time (João shown as JoÃ£o).
#include <optional>
#include <string>
#include <vector>

// Whether a regular file (not a folder) stands at the path; a link counts as what it points to.
bool ExisteArquivo(const std::string& caminho);
// Whether a folder stands at the path, a link counting as what it points to.
bool ExistePasta(const std::string& caminho);
// Whether anything at all stands at the path, a dangling link included.
bool ExisteAlgo(const std::string& caminho);
// Whether a folder stands at the path, as an error number: 0 when one does (a link counting as
// what it points to), ENOENT when nothing does (or a folder on the way is missing), ENOTDIR when
// something else does, another errno value when the system cannot tell.
int ConfereAPasta(const std::string& caminho);
// The file a link points to, links to links followed a few steps at the most (a loop ends
// there); any other path as it is (always on Windows, whose shortcuts are files).
std::string SegueLinks(const std::string& caminho);

// The full path of a file name, a relative one taken from the current folder, "." and ".."
// resolved (on Windows by GetFullPathNameA, with backslashes); the name itself when none can be
// made.
std::string CaminhoCompleto(const std::string& nome);

// The folder and the name joined with the system's separator (none added after one).
std::string JuntaCaminho(const std::string& pasta, const std::string& nome);

// The names of the regular files directly in the folder (a link counting as what it points to),
// in no particular order; nullopt when the folder cannot be read.
std::optional<std::vector<std::string>> ArquivosDaPasta(const std::string& pasta);
// Creates the folder and those missing on the way; whether a folder stands there afterwards.
bool CriaPastas(const std::string& caminho);
// The system's folder for temporary files.
std::string PastaTemporaria();
// Removes the files directly in the folder, then the folder; nothing is said of what stays.
void ApagaPastaDeArquivos(const std::string& pasta);

// The path as the system's text (Windows-1252), for a message: on Windows the path itself; a
// POSIX name that is UTF-8 (as the locale writes names) turned into Windows-1252, any other
// bytes as they stand.
std::string CaminhoParaTexto(const std::string& caminho);
// The full path of a file name as a message shows it.
std::string CaminhoMostrado(const std::string& nome);
