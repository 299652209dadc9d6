#pragma once
// Writing a whole small file so that no reader ever finds half of it: a new file is either
// absent or complete, a replaced one is the old file or the new one. A failure leaves nothing
// of the attempt behind and throws std::system_error with the system's error code, for the
// caller to word.
#include <string>
#include <string_view>

// Creates the file with the text and the permission bits (less the umask). Fails with EEXIST
// when anything, a dangling link included, stands at the path.
void GravaArquivoNovo(const std::string& caminho, std::string_view texto, unsigned modo);

// Replaces the file at the path, or creates it, in one step: a temporary file beside it, then
// renamed over it. A replaced file keeps its permission bits and, where the caller may set it,
// its group; a new one gets modo (less the umask).
void SubstituiArquivo(const std::string& caminho, std::string_view texto, unsigned modo);
