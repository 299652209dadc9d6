#pragma once
// The lines of a text file kept in one block: the bytes of every line one after another,
// without their line ends, and where each line ends. A booklet of a million lines then costs
// little more than its file (a string per line would cost about twice the file), and loading it
// makes two allocations instead of one per line.
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

class TLinhasArquivo {
public:
    class const_iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;

        const_iterator() = default;
        std::string_view operator*() const { return (*linhas_)[indice_]; }
        const_iterator& operator++() {
            ++indice_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator antes = *this;
            ++indice_;
            return antes;
        }
        bool operator==(const const_iterator& outro) const { return indice_ == outro.indice_; }

    private:
        friend class TLinhasArquivo;
        const_iterator(const TLinhasArquivo* linhas, std::size_t indice)
            : linhas_(linhas), indice_(indice) {}
        const TLinhasArquivo* linhas_ = nullptr;
        std::size_t indice_ = 0;
    };
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    TLinhasArquivo() = default;
    TLinhasArquivo(std::initializer_list<std::string_view> linhas);

    std::size_t size() const { return fins_.size(); }
    bool empty() const { return fins_.empty(); }
    // The line without its line end; valid until the list changes.
    std::string_view operator[](std::size_t indice) const {
        const std::size_t inicio = indice == 0 ? 0 : fins_[indice - 1];
        return std::string_view(texto_).substr(inicio, fins_[indice] - inicio);
    }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    void push_back(std::string_view linha) {
        texto_.append(linha);
        fins_.push_back(texto_.size());
    }
    // A line is built in parts as its bytes arrive, and ended once its line end has come.
    void AcrescentaALinhaAberta(std::string_view parte) { texto_.append(parte); }
    bool LinhaAbertaVazia() const { return texto_.size() == (empty() ? 0 : fins_.back()); }
    void FechaLinha() { fins_.push_back(texto_.size()); }

    // Room for so many lines of so many bytes in all, so that loading does not copy as it grows.
    void reserve(std::size_t linhas, std::size_t bytes);
    // Empties the list and gives its memory back.
    void clear();

    friend bool operator==(const TLinhasArquivo& a, const TLinhasArquivo& b) {
        return a.fins_ == b.fins_ && a.texto_ == b.texto_;
    }

private:
    std::string texto_;
    std::vector<std::size_t> fins_; // where each line ends in texto_; the next one begins there
};
