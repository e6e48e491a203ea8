#include "cli/ExitStatus.h"
#include "cli/ExportCommand.h"

#include "Download.h"
#include "Files.h"
#include "Rig.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ExportCommand, writesTheBytesOfTheWindowsExportAllForTheSameDownloadAndTime) {
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("2026-12-09_14-03-27_COM181.px417"));
    ASSERT_TRUE(writeFileBytes(kept, downloadText()));
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    for (const QString& kind : {QStringLiteral("csv"), QStringLiteral("xlsx")}) {
        const QString fromWindow = dir.filePath(QStringLiteral("window.") + kind);
        const QString fromCommand = dir.filePath(QStringLiteral("command.") + kind);
        rig.dialogs.saveAnswers = {fromWindow};
        rig.form->C_Export_Click(0);
        EXPECT_EQ(runExport(fromCommand, kept, rig.clock.time), exitstatus::kOk);
        const QByteArray expected = fileBytes(fromWindow);
        ASSERT_FALSE(expected.isEmpty()) << kind.toStdString();
        EXPECT_EQ(fileBytes(fromCommand), expected) << kind.toStdString();
    }
}
