#pragma once
// Reading a file as the bytes it holds. The file is opened for reading only, letting other
// programs read it but not write it while it is open (on Windows a file that another program
// holds open for writing cannot be opened at all; POSIX has no such share mode, so a plain
// read-only open stands in for it).
//
// Every failure, opening or reading, is an EErro with the text
//   Cannot open file "<full path of the file>". <the system's reason>
// the path made full and shown by platform/Caminho.h.
// A directory is not a file: it fails the same way.
#include <cstddef>
#include <string>

// An open file, read from the start in blocks. Closed when the object goes.
class TArquivoLeitura {
public:
    explicit TArquivoLeitura(const std::string& nomeArquivo);
    ~TArquivoLeitura();
    TArquivoLeitura(const TArquivoLeitura&) = delete;
    TArquivoLeitura& operator=(const TArquivoLeitura&) = delete;

    // The file's size when it was opened, in bytes (a hint: the file may still change).
    std::size_t Tamanho() const { return tamanho_; }
    // Reads up to n bytes into destino; returns how many were read, 0 at the end of the file.
    std::size_t Le(char* destino, std::size_t n);
    // The full path the file was opened by, as it appears in the error texts.
    const std::string& CaminhoCompleto() const { return caminho_; }

private:
    std::string caminho_;
    std::size_t tamanho_ = 0;
#if defined(_WIN32)
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// The whole content of the file, byte for byte, without any conversion.
std::string LerArquivoInteiro(const std::string& nomeArquivo);
