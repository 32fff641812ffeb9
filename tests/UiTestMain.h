#pragma once

// Entry point of the window's Qt tests: offscreen unless told otherwise,
// locale pinned after QApplication has set it from the environment.

#include <clocale>

#include <QApplication>
#include <QTest>

#define TAVREL_UI_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                                            \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QApplication app(argc, argv);                                                                                  \
        std::setlocale(LC_ALL, "C");                                                                                   \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
