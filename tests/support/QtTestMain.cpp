// Test entry point: one application object alive for the whole run, a QApplication for the
// tests of widgets and a QCoreApplication for the core's.
#ifdef PX417_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    // Every test process gets its own runtime folder, as a login session would give it: the
    // simulated meters a test starts publish there and its reader looks there, and nothing
    // reaches the user's own folder.
    QTemporaryDir runtime;
    if (!runtime.isValid() ||
        !QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner)) {
        std::fprintf(stderr, "cannot make a private runtime folder\n");
        return 1;
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    // Likewise a data folder: every download a test completes is kept, and never among the
    // user's own.
    QTemporaryDir data;
    if (!data.isValid()) {
        std::fprintf(stderr, "cannot make a private data folder\n");
        return 1;
    }
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));

    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
