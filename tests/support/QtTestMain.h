#pragma once
// main() for Qt Test programs: the real application object (with its default error display)
// on the offscreen platform, or on an Xvfb display of the program's own when CADOFERTAS_XVFB=1.
#include "XvfbDisplay.h"
#include "app/Aplicacao.h"

#include <QtTest>

// The platform the environment names, offscreen by default; on Windows the system's own, on the
// display Wine draws on (Wine passes no QT_ variables on to a program).
inline void EscolhePlataforma() {
#ifndef _WIN32
    if (qgetenv("QT_QPA_PLATFORM").isEmpty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

#define CADOFERTAS_QTEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        auto xvfb = XvfbDisplay::StartIfAsked();                                                   \
        EscolhePlataforma();                                                                       \
        int codigo = 0;                                                                            \
        {                                                                                          \
            TAplicacao app(argc, argv);                                                            \
            TestClass test;                                                                        \
            codigo = QTest::qExec(&test, argc, argv);                                              \
        }                                                                                          \
        return codigo;                                                                             \
    }

// A case that cannot hold on Windows (POSIX modes, Unix paths, shell scripts) is skipped there,
// saying why.
// One that holds on Windows but not under Wine, which the Windows suite runs on, is skipped
// there alone.
#ifdef _WIN32
bool SobWine(); // XvfbDisplayWindows.cpp
#define SKIP_ON_WINDOWS(reason) QSKIP(reason)
#define SKIP_UNDER_WINE(reason)                                                                    \
    do {                                                                                           \
        if (SobWine())                                                                             \
            QSKIP(reason);                                                                         \
    } while (false)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#define SKIP_UNDER_WINE(reason) static_cast<void>(0)
#endif
