// An offer file of about 300 MB, made in a temporary folder, loaded line by line; the folder and
// the file are gone afterwards.
#include "TempDir.h"
#include "import/LinhaOferta.h"
#include "import/OfertaArquivo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string Line(size_t i) {
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "789%010zu;PRODUTO NUMERO %09zu DA OFERTA;%zu,%02zu;", i,
                  i, i % 1000, i % 100);
    return buffer;
}

} // namespace

TEST(HugeOfferFile, ThreeHundredMegabytesLoadEveryLineAndLeaveNothingBehind) {
    const size_t target = size_t{300} << 20;
    fs::path folder;
    size_t lines = 0;
    {
        TempDir dir;
        folder = dir.Path();
        const fs::path file = dir.Path() / "enorme.csv";
        {
            std::FILE* f = std::fopen(file.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::string block = "BARRAS;DESCRICAO;PRECO;\r\n";
            size_t written = 0;
            while (written < target) {
                // Mixed line ends: CR LF mostly, a bare LF and a bare CR now and then.
                block += Line(++lines);
                block += lines % 97 == 0 ? "\n" : lines % 89 == 0 ? "\r" : "\r\n";
                if (block.size() >= (1u << 20) || written + block.size() >= target) {
                    ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), f), block.size());
                    written += block.size();
                    block.clear();
                }
            }
            ASSERT_EQ(std::fclose(f), 0);
        }
        ASSERT_GE(fs::file_size(file), target);

        TLinhasArquivo loaded = {"a line from before"};
        CarregaLinhas(file.string(), loaded);
        ASSERT_EQ(loaded.size(), lines + 1);
        EXPECT_EQ(loaded[0], "BARRAS;DESCRICAO;PRECO;");
        for (size_t i : {size_t{1}, size_t{89}, size_t{97}, lines / 2, lines - 1, lines})
            ASSERT_EQ(loaded[i], Line(i)) << i;
        size_t wrong = 0;
        for (size_t i = 1; i <= lines; i += 1009)
            wrong += loaded[i] != Line(i);
        EXPECT_EQ(wrong, 0u);
        TLinhaOferta last = LerLinhaOferta(loaded.back(), TFormatSettings::BrasilPadrao());
        EXPECT_EQ(last.Barras, Line(lines).substr(0, 13));
        EXPECT_EQ(last.Preco, static_cast<int64_t>((lines % 1000) * 10000 + (lines % 100) * 100));
    }
    EXPECT_FALSE(fs::exists(folder)) << "the temporary folder was left behind";
}
