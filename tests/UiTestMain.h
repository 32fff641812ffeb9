#pragma once

// Entry point of the window's Qt tests: the window's own application object,
// offscreen unless told otherwise, under an English system locale (the window
// must speak Korean whatever it is), the C library's locale pinned after the
// application has set it from the environment.

#include <clocale>

#include <QTest>

#include "ui/ConverterApp.h"

#define TAVREL_UI_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        qputenv("LC_ALL", "en_US.UTF-8");                                                                              \
        qputenv("LANGUAGE", "en_US");                                                                                  \
        tavrel::CConverterApp app(argc, argv);                                                                         \
        std::setlocale(LC_ALL, "C");                                                                                   \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
