#pragma once
// The default error display: how an error that ends a handler is shown to the user. The
// application shows with it whatever escapes the message loop; the window and the date picker
// show with it what their handlers raise.
#include <QString>

#include <exception>
#include <string>

// Shows an error in a box of its own, captioned with the application's title; an abort
// request shows nothing.
void MostraErro(std::exception_ptr erro);

// The application's title: the program's file name without folder and without everything
// from its first ".", every character after the first in lower case.
std::string TituloDaAplicacao(const std::string& caminhoExecutavel);
// The running program's title.
QString TituloDaAplicacao();

// The text shown for an error's message: a "." is added when the last character sorts after
// ".".
std::string TextoDoErro(const std::string& mensagem);
