// Simulated meters sharing one runtime folder, as a user trying two meters starts them.
#include "MeterName.h"
#include "MeterProcess.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

TEST(MeterSimNames, metersWithoutANameTakeTheNextFreeNumberAndATakenNameIsRefused) {
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    // Left by a meter that was killed outright: its terminal is gone, so the name is free.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/pts/px417-gone"),
                            runtime.portsFolder() + QLatin1Char('/') + kMeter181));
    MeterProcess first;
    MeterProcess second;
    QString error;
    ASSERT_TRUE(first.start(runtime.path(), {}, &error)) << error.toStdString();
    ASSERT_TRUE(second.start(runtime.path(), {}, &error)) << error.toStdString();
    EXPECT_EQ(QFileInfo(first.link()).fileName(), kMeter181);
    EXPECT_EQ(QFileInfo(second.link()).fileName(),
              QStringLiteral("Arduino USB Serial Light Adapter (COM182)"));
    const QString firstDevice = first.device();
    EXPECT_TRUE(QFileInfo::exists(firstDevice)) << firstDevice.toStdString();

    MeterProcess third;
    EXPECT_FALSE(third.start(runtime.path(), {QStringLiteral("--name"), kMeter181}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("is taken by a running meter")))
        << error.toStdString();
    EXPECT_EQ(first.device(), firstDevice);
}
