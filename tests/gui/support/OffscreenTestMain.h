#pragma once

#include <QApplication>
#include <QTest>

/// Like QTEST_MAIN, but runs on the offscreen platform unless told otherwise,
/// so that a test binary started by hand needs no display either.
#define KX3_GUI_TEST_MAIN(TestObject)                                                             \
    int main(int argc, char *argv[])                                                              \
    {                                                                                             \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                       \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                              \
        QApplication app(argc, argv);                                                             \
        QTEST_DISABLE_KEYPAD_NAVIGATION                                                           \
        TestObject tc;                                                                            \
        QTEST_SET_MAIN_SOURCE_PATH                                                                \
        return QTest::qExec(&tc, argc, argv);                                                     \
    }
