#pragma once
// Where escreve-connection-conf writes connection.conf, and the writing itself.
#include <string>

// The file that connection.conf in the folder stands for: when it is a link (the package puts
// one beside the program, into /etc), the file the link points to, so that writing fills the
// link's target and never replaces the link.
std::string DestinoDoConf(const std::string& pasta);

// Writes the text to the destination. Without sobrescrever an existing file is left alone and
// the call fails with SaidaArquivoExiste; with it, the file is replaced in one step (a complete
// new file or the old one, never half of one). A new file is readable by its owner and its
// group only: it holds the password.
void GravaConnectionConf(const std::string& destino, const std::string& texto, bool sobrescrever);
