#pragma once
// main() for Qt Test programs: the real application object (with its default error display)
// on the offscreen platform.
#include "app/Aplicacao.h"

#include <QtTest>

#define CADOFERTAS_QTEST_MAIN(TestClass)                                                           \
    int main(int argc, char** argv) {                                                              \
        qputenv("QT_QPA_PLATFORM",                                                                 \
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));  \
        TAplicacao app(argc, argv);                                                                \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
