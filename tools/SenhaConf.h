#pragma once
// The password of escreve-connection-conf: the file's bytes or all of the standard input,
// without one trailing line end (LF or CR LF). From a terminal it asks for it and reads one
// line without echoing it. Fails with SaidaFalha when it cannot be read.
#include "tools/OpcoesConf.h"

#include <string>

std::string LeSenha(const TOpcoesConf& opcoes, int entrada);
