#pragma once

// A Qt Test main that runs the tests in a home folder of their own: HOME and the XDG folders
// point into a temporary folder before Qt reads them (QSettings remembers its paths from the
// first use), so no test ever touches the real user's settings, autostart entries or sockets.

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#define DAYVAULT_QTEST_MAIN_IN_TEMP_HOME(TestClass)                                              \
    int main(int argc, char* argv[]) {                                                           \
        QTemporaryDir home;                                                                      \
        if (!home.isValid()) {                                                                   \
            return 2;                                                                            \
        }                                                                                        \
        const QByteArray root = home.path().toUtf8();                                            \
        qputenv("HOME", root);                                                                   \
        qputenv("XDG_CONFIG_HOME", root + "/config");                                            \
        qputenv("XDG_DATA_HOME", root + "/data");                                                \
        qputenv("XDG_CACHE_HOME", root + "/cache");                                              \
        qputenv("XDG_RUNTIME_DIR", root + "/runtime");                                           \
        QDir().mkpath(home.path() + "/runtime");                                                 \
        QFile::setPermissions(home.path() + "/runtime",                                          \
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);           \
        QApplication application(argc, argv);                                                    \
        QApplication::setQuitOnLastWindowClosed(false);                                          \
        TestClass test;                                                                          \
        return QTest::qExec(&test, argc, argv);                                                  \
    }
