#pragma once
// Where the running program lives.
#include <string>

// The running program's full path.
std::string CaminhoDoExecutavel();
// The running program's folder, up to and including its last path separator.
std::string PastaDoExecutavel();
