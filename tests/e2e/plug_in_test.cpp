// A meter that appears after the reader has started is found by itself.
#include "E2eSupport.h"

#include <QListWidget>
#include <gtest/gtest.h>

using namespace e2e;

TEST(PlugIn, aSimulatorStartedAfterTheReaderIsFoundConnectedAndDownloadedWithoutAClick) {
    RuntimeDir runtime;
    ASSERT_TRUE(runtime.ok());
    // As on a fresh login: no simulator has made its folders yet.
    ASSERT_TRUE(QDir(runtime.path() + QStringLiteral("/px417")).removeRecursively());
    LiveReader reader(runtime.portsFolder(), true);
    ASSERT_EQ(reader.form->lComPorts().count(), 0);
    ASSERT_FALSE(reader.port.portOpen());

    MeterProcess meter;
    QString error;
    ASSERT_TRUE(meter.start(runtime.path(), {"--seed", "4", "--speed", "0"}, &error))
        << error.toStdString();
    ASSERT_TRUE(waitUntil([&] { return reader.mem().textMatrix(100, 0) == u"100"; }, 20000))
        << reader.state().toStdString() << " / " << reader.detail().toStdString() << " "
        << meter.errors().toStdString();
    EXPECT_EQ(reader.form->lComPorts().count(), 1);
    EXPECT_EQ(reader.form->lComPorts().item(0)->text(), "QT570R (COM181)");
    EXPECT_TRUE(reader.idle());
    EXPECT_TRUE(reader.dialogs.boxes.empty());
}
