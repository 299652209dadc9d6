#include "TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

// A fresh name under the parent folder; create_directory fails on a name already taken,
// so two tests never share a folder (mkdtemp is not on every platform).
TempDir::TempDir(const std::filesystem::path& parent) {
    std::random_device semente;
    std::mt19937_64 sorteio(semente());
    for (int tentativa = 0; tentativa < 100; ++tentativa) {
        auto candidato = parent / ("cadofertas-" + std::to_string(sorteio() % 1000000000));
        if (std::filesystem::create_directory(candidato)) {
            path_ = candidato;
            return;
        }
    }
    throw std::runtime_error("no free temporary folder name");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
    auto file = path_ / name;
    WriteAll(file, bytes);
    return file.string();
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}
