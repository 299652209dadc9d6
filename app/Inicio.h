#pragma once
// The start-up of the window: point the data module's connection at the configured server,
// derive the store code from the server's identification, and connect.
#include <string>

class TDM;

// Steps that may fail; the window shows the failure and opens all the same. codLoja is set
// only once the identification has been read.
void PreparaConexao(TDM& dm, std::string& codLoja);

// The application's title: the program's file name without folder and without everything from
// its first ".", every character after the first in lower case.
std::string TituloDaAplicacao(const std::string& caminhoExecutavel);

// The default error display's text: a "." is added when the last character sorts after ".".
std::string TextoDoErro(const std::string& mensagem);
