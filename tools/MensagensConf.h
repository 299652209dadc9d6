#pragma once
// What escreve-connection-conf tells the user when it stops: the exit codes, the failure that
// carries one, and the wording of values and system errors. The command's texts are UTF-8 (it
// talks to a terminal), unlike the rest of the system.
#include <stdexcept>
#include <string>
#include <string_view>

// Exit codes.
inline constexpr int SaidaOk = 0;
inline constexpr int SaidaFalha = 1;         // a file could not be read or written
inline constexpr int SaidaUsoInvalido = 2;   // a missing, unknown or bad option or value
inline constexpr int SaidaArquivoExiste = 3; // connection.conf exists and --sobrescrever is absent

// A failure with its message (UTF-8) and the exit code it ends the command with.
class EFalhaConf : public std::runtime_error {
public:
    EFalhaConf(const std::string& mensagem, int codigoSaida)
        : std::runtime_error(mensagem), codigo_(codigoSaida) {}
    int CodigoSaida() const noexcept { return codigo_; }

private:
    int codigo_;
};

// A UTF-8 literal as bytes: the narrow literals of this project are Windows-1252.
std::string T(std::u8string_view texto);

// A bad or missing option: the message and a pointer to --ajuda.
[[noreturn]] void Uso(const std::string& mensagem);

// The reason for a system error number, in Portuguese where the common ones go.
std::string MotivoDoSistema(int erro);

// A value shown to the user: control characters as "?", so that a terminal is never driven.
std::string Mostravel(std::string_view valor);

// The file is there and --sobrescrever was not given.
EFalhaConf ArquivoExiste(const std::string& caminho);
