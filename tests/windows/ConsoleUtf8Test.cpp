// The console layer on a system whose ANSI code page is UTF-8: this test program asks for that
// code page in its manifest (activeCodePage), as such a system gives it to every program, and is
// started with an argument holding accents and the euro sign. The commands' arguments must
// still come as the system's Windows-1252 texts.
#include "platform/Console.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

TEST(ConsoleUtf8, TheArgumentsComeAsWindows1252WhateverTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 65001u) << "the manifest's UTF-8 code page was not taken";
    const std::vector<std::string> argumentos = ArgumentosDoPrograma(__argc, __argv);
    ASSERT_FALSE(argumentos.empty());
    EXPECT_EQ(argumentos.back(), "--nome=Mar\xE7o \x80");
    // The narrow arguments the C runtime hands over are UTF-8 here: taken as they came, the
    // booklet's name would be stored as other characters.
    EXPECT_EQ(std::string(__argv[__argc - 1]), "--nome=Mar\xC3\xA7o \xE2\x82\xAC");
}

} // namespace
