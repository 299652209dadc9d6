#pragma once
// main() for Qt Test programs: the real application object (with its default error display)
// on the offscreen platform, or on an Xvfb display of the program's own when CADOFERTAS_XVFB=1.
#include "XvfbDisplay.h"
#include "app/Aplicacao.h"

#include <QtTest>

#define CADOFERTAS_QTEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        auto xvfb = XvfbDisplay::StartIfAsked();                                                   \
        qputenv("QT_QPA_PLATFORM",                                                                 \
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));  \
        int codigo = 0;                                                                            \
        {                                                                                          \
            TAplicacao app(argc, argv);                                                            \
            TestClass test;                                                                        \
            codigo = QTest::qExec(&test, argc, argv);                                              \
        }                                                                                          \
        return codigo;                                                                             \
    }
