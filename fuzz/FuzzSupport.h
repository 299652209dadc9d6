#pragma once
// What the fuzz targets share: a property check that stops the run with the broken condition,
// a reader that turns the fuzzer's bytes into choices, and a scratch file per process.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

[[noreturn]] inline void PropriedadeQuebrada(const char* condicao, const char* arquivo, int linha) {
    std::fprintf(stderr, "%s:%d: property broken: %s\n", arquivo, linha, condicao);
    std::abort(); // libFuzzer saves the input that did it
}

#define CONFERE(condicao)                                                                          \
    ((condicao) ? static_cast<void>(0) : PropriedadeQuebrada(#condicao, __FILE__, __LINE__))

// Takes choices from the front of the input; once it is used up every choice is the lowest.
class TLeitorFuzz {
public:
    TLeitorFuzz(const std::uint8_t* dados, std::size_t tamanho)
        : resto_(reinterpret_cast<const char*>(dados), tamanho) {}

    bool Vazio() const { return resto_.empty(); }
    std::uint8_t Byte() {
        if (resto_.empty())
            return 0;
        auto b = static_cast<std::uint8_t>(resto_.front());
        resto_.remove_prefix(1);
        return b;
    }
    bool Bool() { return (Byte() & 1) != 0; }
    // A number from minimo to maximo, both included (a range of at most 65536 values).
    int Int(int minimo, int maximo) {
        unsigned faixa = static_cast<unsigned>(maximo - minimo) + 1;
        unsigned v = static_cast<unsigned>(Byte()) << 8 | Byte();
        return minimo + static_cast<int>(v % faixa);
    }
    // A text of up to maximo bytes, its length taken first.
    std::string Texto(std::size_t maximo) {
        std::size_t n = std::min<std::size_t>(Byte(), maximo);
        n = std::min(n, resto_.size());
        std::string t(resto_.substr(0, n));
        resto_.remove_prefix(n);
        return t;
    }
    // Whatever is left.
    std::string_view Resto() {
        auto r = resto_;
        resto_ = {};
        return r;
    }

private:
    std::string_view resto_;
};

// A file in a folder of this process's own, removed when the process ends normally.
inline const std::string& ArquivoDeTrabalho(const char* nome) {
    struct TPasta {
        std::filesystem::path caminho;
        TPasta() {
            std::string modelo =
                (std::filesystem::temp_directory_path() / "cadofertas-fuzz-XXXXXX").string();
            if (!::mkdtemp(modelo.data()))
                std::abort();
            caminho = modelo;
        }
        ~TPasta() {
            std::error_code erro;
            std::filesystem::remove_all(caminho, erro);
        }
    };
    static TPasta pasta;
    static std::string arquivo = (pasta.caminho / nome).string();
    return arquivo;
}

inline void EscreveArquivo(const std::string& caminho, std::string_view bytes) {
    std::FILE* f = std::fopen(caminho.c_str(), "wb");
    if (!f)
        std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        std::abort();
    if (std::fclose(f) != 0)
        std::abort();
}
