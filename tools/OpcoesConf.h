#pragma once
// The options of escreve-connection-conf and the checks of the values against what the
// import program reads. The password is never an option: on the command line any user of the
// machine sees it (ps); it comes from a file or from the standard input (SenhaConf.h).
#include "connection/FormatoConf.h"

#include <cstddef>
#include <string>
#include <vector>

enum class TOrigemSenha { Nenhuma, Arquivo, Entrada };

struct TOpcoesConf {
    std::string Pasta; // empty: the folder of this command
    TValoresConf Valores;
    TOrigemSenha OrigemSenha = TOrigemSenha::Nenhuma;
    std::string ArquivoSenha;
    bool Sobrescrever = false;
    bool Ajuda = false;
};

// The longest values the import program takes whole: the connection's texts hold 255
// characters, and the settings reader keeps 2047 digits of a value, that is 1023 bytes.
inline constexpr std::size_t MaximoConexao = 255;
inline constexpr std::size_t MaximoOutros = 1023;

// Reads the options (the arguments after the command's name); fails with SaidaUsoInvalido.
TOpcoesConf LeOpcoes(const std::vector<std::string>& argumentos);

// Checks the values against what the import program reads; fails with SaidaUsoInvalido.
void ValidaValores(const TValoresConf& valores);

// The command's help text.
std::string TextoAjuda();
