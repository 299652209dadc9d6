#pragma once
// The folder the program works in, where it writes its report (Relatorio.txt).
//
// On Windows, a program started in a folder that is no place for the user's files (its own
// installation folder, or one the user cannot write, as Program Files and the system's folder
// are for a store's user) works in the user's own Documents folder instead (the known-folder
// API): so the report lands where the clerk can write it and find it, whatever folder the Start
// menu or a shortcut named. Started anywhere else, and on every other system, it stays in the
// folder it was started in.
#include <string>

// Moves to the user's Documents when the current folder is no place for the user's files, as
// above. Returns the folder the program works in from now on (the current folder).
std::string PreparaPastaDeTrabalho();

#if defined(_WIN32)
// Whether the folder lies within the other (the same folder included), as Windows compares
// names: letter case aside, "/" as "\", a last separator ignored.
bool DentroDaPasta(const std::wstring& pasta, const std::wstring& outra);
// Whether a new file can be made in the folder (one is made and removed at once).
bool PastaGravavel(const std::wstring& pasta);
// The folder the program should work in when started in the given one: the user's Documents
// for the program's own folder, Program Files, the Windows folder and any folder the user cannot
// write; the given folder otherwise (or when the user has no Documents folder).
std::wstring PastaDeTrabalhoPara(const std::wstring& atual);
#endif
