// Tests run in a private runtime folder of their own, as a login session would give them one.
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <unistd.h>

#include "MeterProcess.h"
#include "QtPrinters.h"

namespace {
constexpr QFileDevice::Permissions kOwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
}

TEST(TestRuntimeFolder, IsFreshPrivateAndWhereQtLooks) {
    const QString folder = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    ASSERT_FALSE(folder.isEmpty());
    const QFileInfo info(folder);
    ASSERT_TRUE(info.isDir());
    EXPECT_EQ(info.ownerId(), ::getuid());
    EXPECT_EQ(info.permissions() & (kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                    QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                    QFileDevice::WriteOther | QFileDevice::ExeOther),
              kOwnerOnly);
    // Fresh: nothing published by a simulated meter of another test.
    EXPECT_TRUE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation), folder);
}

TEST(TestRuntimeFolder, ATestsOwnFolderIsSharedWhileItLivesAndThenLetGo) {
    const QByteArray before = qgetenv("XDG_RUNTIME_DIR");
    {
        RuntimeDir runtime;
        ASSERT_TRUE(runtime.ok());
        EXPECT_NE(runtime.path().toLocal8Bit(), before);
        EXPECT_EQ(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
                  runtime.path());
        EXPECT_TRUE(QFileInfo(runtime.portsFolder()).isDir());
    }
    EXPECT_EQ(qgetenv("XDG_RUNTIME_DIR"), before);
}
