#pragma once
// The terminal and plain reads the conf tool needs for its password, apart from the system.
#include <string>
#include <string_view>

// The descriptor of standard input, on every system.
inline constexpr int EntradaPadrao = 0;

// Whether the descriptor is a terminal (a console on Windows).
bool EhTerminal(int fd);
// Opens a file for reading, not inherited by child programs: -1 with errno on failure.
int AbreParaLeitura(const std::string& caminho);
// Reads up to n bytes: the count, 0 at the end, -1 with errno set.
long LeDescritor(int fd, char* destino, unsigned n);
// Shows a prompt where the user sees it: the terminal itself, else standard error.
void MostraPergunta(std::string_view texto);

// The terminal's echo off while the object lives, so that a password is typed unseen; nothing
// changes when the input is no terminal.
class TSemEco {
public:
    explicit TSemEco(int entrada);
    ~TSemEco();
    TSemEco(const TSemEco&) = delete;
    TSemEco& operator=(const TSemEco&) = delete;

private:
    int entrada_;
    bool mudou_ = false;
    unsigned long antes_ = 0; // the console mode on Windows, the local flags elsewhere
};
