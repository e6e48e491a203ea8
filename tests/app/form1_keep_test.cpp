// The window keeping downloads and opening kept ones, on the real file system.
#include "Download.h"
#include "FileDrop.h"
#include "Files.h"
#include "Rerun.h"
#include "Rig.h"
#include "Warnings.h"
#include "store/DownloadStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

constexpr char kReadOnlyFolder[] = "PX417_READ_ONLY_DOWNLOADS";

QStringList memTexts(const Form1& form) {
    QStringList texts;
    for (int r = 0; r < 101; ++r)
        for (int c = 0; c < 8; ++c)
            texts << form.fgMem().textMatrix(r, c);
    return texts;
}

} // namespace

TEST(Form1Keeping, aDownloadThatCannotBeKeptStillFillsTheTableAndABoxThenSaysWhereAndWhy) {
#ifndef Q_OS_UNIX
    GTEST_SKIP() << "the folder is made read-only by its permission bits or a read-only mount, "
                    "which Windows does not have";
#else
    QString folder = qEnvironmentVariable(kReadOnlyFolder);
    QTemporaryDir dir;
    if (folder.isEmpty()) {
        folder = dir.filePath(QStringLiteral("downloads"));
        ASSERT_TRUE(QDir().mkpath(folder));
        if (geteuid() == 0) {
            // Root writes past permission bits; a read-only mount stops it.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QLatin1String(kReadOnlyFolder), folder);
            QString out;
            const int status = rerunInMountNamespace(
                QStringLiteral(
                    "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" \"$0\""),
                folder, environment, &out);
            if (status == 77)
                GTEST_SKIP() << "no read-only mount can be made here: " << out.toStdString();
            expectRerunPassed(status, out);
            return;
        }
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    ASSERT_FALSE(QFile(folder + QStringLiteral("/probe")).open(QIODevice::WriteOnly))
        << "the folder takes new files";

    DownloadStore store(folder);
    Rig rig({kMeter181}, 15.0, &store);
    rig.form->Form_Load();
    const Warnings warnings;
    rig.port.receive(downloadText());

    EXPECT_EQ(rig.form->fgMem().textMatrix(100, 0), QStringLiteral("100"));
    EXPECT_EQ(rig.state(), QStringLiteral("Ready."));
    EXPECT_EQ(rig.detail(), QStringLiteral("COM:181"));
    ASSERT_EQ(warnings.lines().size(), 1);
    EXPECT_TRUE(warnings.lines().first().startsWith(
        QStringLiteral("the download could not be kept in %1: ").arg(folder)))
        << warnings.lines().first().toStdString();
    EXPECT_TRUE(rig.dialogs.boxes.empty()) << "a box inside the port's notification";
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes.front().text,
              QStringLiteral("This download was not kept.\r%1\rExport the table to keep its rows.")
                  .arg(warnings.lines().first()));
    EXPECT_TRUE(QDir(folder).isEmpty());
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
#endif
}

TEST(Form1Keeping, aFileThatIsNoDownloadGetsABoxWithItsNameAndWhatIsWrongAndChangesNothing) {
    Rig rig({kMeter181});
    rig.form->Form_Load();
    rig.port.receive(downloadText());
    const QStringList before = memTexts(*rig.form);
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("notes.px417"));
    ASSERT_TRUE(writeFileBytes(notes, "5,01,02,03,04,05,06,07,08,09,AA/"));

    rig.form->openDownload(notes);
    ASSERT_EQ(rig.dialogs.boxes.size(), 1u);
    EXPECT_EQ(rig.dialogs.boxes.front().text,
              QStringLiteral("This file could not be opened:\r%1\rnot a kept download: no "
                             "complete download of slots 0 to 100")
                  .arg(QDir::toNativeSeparators(notes)));
    EXPECT_EQ(memTexts(*rig.form), before);
    EXPECT_EQ(rig.detail(), QStringLiteral("COM:181"));
}

TEST(Form1Keeping, openingOrDroppingAKeptDownloadDuringADownloadDoesNothing) {
    QTemporaryDir dir;
    const QString kept = dir.filePath(QStringLiteral("kept.px417"));
    ASSERT_TRUE(writeFileBytes(kept, downloadText()));
    Rig rig({kMeter181});
    rig.form->Form_Load();
    // Other measurements than the kept file's, so that the table tells which one it shows.
    const QByteArray text = downloadText(QStringLiteral("36,20,00,00,AD,0A,8C,20,01"));
    rig.port.receive(text.left(text.indexOf("50,")));
    ASSERT_EQ(rig.state(), QStringLiteral("Downloading..."));
    const QStringList before = memTexts(*rig.form);
    const QString percent = rig.detail();

    // Dropped as from a file manager; the file opens through a queued call, which runs here,
    // with the download still under way.
    ASSERT_TRUE(dropFile(rig.form.get(), kept));
    QCoreApplication::processEvents();
    EXPECT_EQ(memTexts(*rig.form), before) << "a dropped file opened during the download";
    EXPECT_EQ(rig.state(), QStringLiteral("Downloading..."));
    EXPECT_EQ(rig.detail(), percent);

    rig.form->openDownload(kept);
    EXPECT_EQ(memTexts(*rig.form), before) << "a file opened during the download";
    EXPECT_EQ(rig.state(), QStringLiteral("Downloading..."));
    EXPECT_EQ(rig.detail(), percent);
    EXPECT_TRUE(rig.dialogs.boxes.empty());

    // The download goes on as if nothing had come.
    rig.port.receive(text.mid(text.indexOf("50,")));
    EXPECT_EQ(rig.state(), QStringLiteral("Ready."));
    Rig undisturbed({kMeter181});
    undisturbed.form->Form_Load();
    undisturbed.port.receive(text);
    EXPECT_EQ(memTexts(*rig.form), memTexts(*undisturbed.form));
}
