#include "store/DownloadStore.h"
#include "store/KeptDownload.h"

#include "Download.h"
#include "Files.h"
#include "RecordingView.h"
#include "Rerun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The packets of a download text, each without its "/".
QList<QByteArray> packetsOf(const QByteArray& text) {
    QList<QByteArray> packets = text.split('/');
    packets.removeLast();
    return packets;
}

} // namespace

TEST(KeptDownload, aKeptFileReplaysIntoTheSlotTableStampedWithTheTimeItsNameGives) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2026-12-09_14-03-27_COM2000.px417"));
    ASSERT_TRUE(writeFileBytes(path, downloadText()));
    QString error;
    const std::optional<KeptDownload> kept = readKeptDownload(path, &error);
    ASSERT_TRUE(kept) << error.toStdString();

    RecordingView view;
    replayKeptDownload(*kept, view);
    EXPECT_EQ(view.decodeCalls, 1);
    EXPECT_EQ(view.cell(6, 10), QString::fromLatin1(downloadText().split('/').at(5)));
    EXPECT_EQ(view.cell(6, 1), QStringLiteral("54")); // 0x36
    EXPECT_EQ(view.cell(1, 11), QStringLiteral("2026_12_09 14:03:27"));
    EXPECT_EQ(view.cell(101, 11), QStringLiteral("2026_12_09 14:03:27"));
}

TEST(KeptDownload, aFileThatIsNoDownloadIsRefusedWithWhatIsWrong) {
    QTemporaryDir dir;
    const QByteArray full = downloadText();
    const struct {
        const char* name;
        QByteArray bytes;
        QString problem;
    } cases[] = {
        {"empty", "", "the file is empty"},
        {"export", "Exported 2026.12.07 16:51:34,,,,,,\r\nSlot#,Timestamp\r\n",
         "not a kept download: no complete download of slots 0 to 100"},
        {"gap", downloadText(QStringLiteral("36,20,00,00,AD,0A,8C,20,00"), 57),
         "not a kept download: only 100 of 101 slots"},
        {"twice", full + full,
         "not a kept download: it holds more than the 101 packets of one "
         "download"},
        {"stray", "hello/" + full,
         "not a kept download: it holds more than the 101 packets of "
         "one download"},
        {"big", full + QByteArray(64 * 1024, ' '), "larger than 64 KiB, too large for a download"},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(writeFileBytes(path, c.bytes));
        QString error;
        EXPECT_FALSE(readKeptDownload(path, &error)) << c.name;
        EXPECT_EQ(error, c.problem) << c.name;
    }
    QString error;
    // The system's own words for a missing file ("No such file or directory" on Linux).
    QFile missing(dir.filePath(QStringLiteral("missing")));
    ASSERT_FALSE(missing.open(QIODevice::ReadOnly));
    EXPECT_FALSE(readKeptDownload(missing.fileName(), &error));
    EXPECT_EQ(error, QStringLiteral("cannot be read: ") + missing.errorString());
    EXPECT_FALSE(readKeptDownload(dir.path(), &error));
    EXPECT_EQ(error, QStringLiteral("not a file"));
}

TEST(DownloadStore, keepsEachDownloadInANewFileAndNeverReplacesOne) {
    QTemporaryDir home;
    const DownloadStore store(home.filePath(QStringLiteral("data/downloads")));
    const QDateTime at(QDate(2026, 12, 9), QTime(14, 3, 27));
    const QList<QByteArray> packets = packetsOf(downloadText());

    QString error;
    const QString first = store.keep(packets, at, QStringLiteral("COM2000"), &error);
    EXPECT_EQ(first, home.filePath(QStringLiteral("data/downloads/"
                                                  "2026-12-09_14-03-27_COM2000.px417")))
        << error.toStdString();
    EXPECT_EQ(fileBytes(first), downloadText());

    const QString second = store.keep(packets.mid(0, 3), at, QStringLiteral("COM2000"), &error);
    EXPECT_EQ(second, home.filePath(QStringLiteral("data/downloads/"
                                                   "2026-12-09_14-03-27_COM2000-2.px417")));
    EXPECT_EQ(fileBytes(first), downloadText());
    EXPECT_EQ(QDir(store.folder()).entryList(QDir::Files).size(), 2) << "no scratch file is left";
}

TEST(DownloadStore, aFullDiskKeepsNoFileUnderTheDownloadsNameAndSaysWhy) {
    const QString fullDisk = qEnvironmentVariable("PX417_FULL_DISK");
    if (fullDisk.isEmpty()) {
        // A file system of one page, filled up: a tmpfs in a mount namespace of its own.
        QTemporaryDir mountPoint;
        ASSERT_TRUE(mountPoint.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PX417_FULL_DISK"), mountPoint.path());
        QString out;
        const int status = rerunInMountNamespace(
            QStringLiteral("mount -t tmpfs -o size=4k px417 \"$0\" && "
                           "{ cat /dev/zero >\"$0/filler\" 2>/dev/null; true; }"),
            mountPoint.path(), environment, &out);
        if (status == 77)
            GTEST_SKIP() << "no small file system can be mounted here: " << out.toStdString();
        expectRerunPassed(status, out);
        return;
    }

    const DownloadStore store(fullDisk);
    QString error;
    EXPECT_EQ(store.keep(packetsOf(downloadText()), QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)),
                         QStringLiteral("COM181"), &error),
              QString());
    EXPECT_EQ(error, QStringLiteral("the download could not be kept in %1: No space left on device")
                         .arg(fullDisk));
    EXPECT_EQ(QDir(fullDisk).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("filler")});
}
