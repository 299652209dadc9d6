#pragma once
// Writing connection.conf for the import program from plain values: the section
// [connection], every value as the hexadecimal form of its bytes (two upper-case digits a
// byte), CR LF line ends. The password never comes from the command line, where any user of
// the machine sees it (ps); it is read from a file or from the standard input.
//
// The texts of this command are UTF-8 (it talks to a terminal); the values are the bytes
// they are given as, and the import program takes them as Windows-1252.
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// The values, in the order the file holds them.
struct TValoresConf {
    std::string DatabaseIP;
    std::string MacAdress;
    std::string CodFisica;
    std::string Databasename;
    std::string Usuario;
    std::string Senha;
    std::string Name;
    std::string Cnpj;
};

enum class TOrigemSenha { Nenhuma, Arquivo, Entrada };

struct TOpcoesConf {
    std::string Pasta; // empty: the folder of this command
    TValoresConf Valores;
    TOrigemSenha OrigemSenha = TOrigemSenha::Nenhuma;
    std::string ArquivoSenha;
    bool Sobrescrever = false;
    bool Ajuda = false;
};

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

// The longest values the import program takes whole: the connection's texts hold 255
// characters, and the settings reader keeps 2047 digits of a value, that is 1023 bytes.
inline constexpr std::size_t MaximoConexao = 255;
inline constexpr std::size_t MaximoOutros = 1023;

// Two upper-case hexadecimal digits for every byte.
std::string ParaHex(std::string_view bytes);

// The whole file: "[connection]" and the eight keys, each line ending in CR LF.
std::string MontaConnectionConf(const TValoresConf& valores);

// Reads the options (the arguments after the command's name); fails with SaidaUsoInvalido.
TOpcoesConf LeOpcoes(const std::vector<std::string>& argumentos);

// Checks the values against what the import program reads; fails with SaidaUsoInvalido.
void ValidaValores(const TValoresConf& valores);

// The password: the file's bytes or all of the standard input, without one trailing line end
// (LF or CR LF). From a terminal it asks for it and reads one line without echoing it.
std::string LeSenha(const TOpcoesConf& opcoes, int entrada);

// Writes the text as connection.conf into the folder and returns the file's path. Without
// sobrescrever an existing file is left alone and the call fails with SaidaArquivoExiste;
// with it, the file is replaced in one step (a complete new file or the old one, never half
// of one).
std::string GravaConnectionConf(const std::string& pasta, const std::string& texto,
                                bool sobrescrever);

// The whole command: options, password, checks, the file, and what it tells the user.
int EscreveConnectionConf(const std::vector<std::string>& argumentos, int entrada,
                          std::ostream& saida, std::ostream& erros);

// The command's help text.
std::string TextoAjuda();
