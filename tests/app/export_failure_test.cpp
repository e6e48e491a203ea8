// Export failures on the real file system, from the real window: a read-only folder, a name
// that is a folder, and a write that fails over an existing file.
#include "Download.h"
#include "FileSizeLimit.h"
#include "Files.h"
#include "Rerun.h"
#include "Rig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace {

// The window after a full download, with the save dialog answered by the test.
struct Exporter : Rig {
    Exporter() : Rig({kMeter181}) {
        form->Form_Load();
        port.receive(downloadText());
    }
    // Exports all rows to name; returns the text of the box shown, or "" when none.
    QString exportTo(const QString& name) {
        dialogs.boxes.clear();
        dialogs.saveAnswers = {name};
        form->C_Export_Click(0);
        return dialogs.boxes.empty() ? QString() : dialogs.boxes.back().text;
    }
};

void expectFailureBox(const Exporter& exporter, const QString& box, const QString& name) {
    ASSERT_FALSE(exporter.dialogs.boxes.empty()) << "the failure was reported as success";
    EXPECT_TRUE(box.startsWith(QStringLiteral("The file could not be written:")))
        << box.toStdString();
    EXPECT_TRUE(box.contains(name)) << box.toStdString();
    EXPECT_EQ(exporter.dialogs.boxes.back().icon, Dialogs::Icon::Critical);
    EXPECT_FALSE(exporter.program.ended);
    EXPECT_EQ(exporter.form->fgMem().textMatrix(1, 0), "1");
}

} // namespace

TEST(ExportFailure, aReadOnlyFolderGetsNoFileAndAMessage) {
    Exporter exporter;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString folder = dir.path();
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Root ignores permission bits; no one may create files in /proc.
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        folder = QStringLiteral("/proc/self");
    }
    const QString name = folder + QStringLiteral("/export.csv");

    const QString box = exporter.exportTo(name);
    expectFailureBox(exporter, box, name);
    EXPECT_FALSE(QFile::exists(name));
    if (folder == dir.path()) {
        EXPECT_TRUE(QDir(folder).isEmpty()) << "a temporary file was left behind";
    }
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(ExportFailure, aNameThatIsAFolderStaysAFolderWithItsContents) {
    Exporter exporter;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("data.csv"));
    ASSERT_TRUE(QDir().mkpath(name));
    QFile inner(name + QStringLiteral("/keep.txt"));
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly) && inner.write("kept") == 4);
    inner.close();

    const QString box = exporter.exportTo(name);
    expectFailureBox(exporter, box, name);
    EXPECT_TRUE(QFileInfo(name).isDir());
    EXPECT_EQ(fileBytes(name + QStringLiteral("/keep.txt")), "kept");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"data.csv"}));
}

TEST(ExportFailure, aWriteThatFailsLeavesTheExistingFileIntactAndTheNextExportReplacesIt) {
    Exporter exporter;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("week.csv"));
    const QByteArray earlier = "Exported 2026.12.07 16:51:34,,,,,,\r\nearlier data\r\n";
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
    }

    QString box;
    {
        // The whole export is several KiB; the disk "fills" after one.
        const FileSizeLimit limit(1024);
        box = exporter.exportTo(name);
    }
    expectFailureBox(exporter, box, name);
    EXPECT_TRUE(box.endsWith(QStringLiteral("File too large"))) << box.toStdString();
    EXPECT_EQ(fileBytes(name), earlier);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"week.csv"}))
        << "a temporary file was left behind";

    EXPECT_EQ(exporter.exportTo(name), "");
    const QByteArray written = fileBytes(name);
    EXPECT_TRUE(written.startsWith("Exported 2027.02.01 21:05:03,,,,,,\r\n"));
    EXPECT_EQ(written.count("\r\n"), 102);
}

TEST(ExportFailure, aWritableFileInAFolderTheUserMayNotWriteIsReplaced) {
    if (geteuid() == 0) {
        // Root ignores the folder's permission, so the case runs again as an ordinary user,
        // from a copy of this program that the user may read.
        const passwd* nobody = getpwnam("nobody");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (!nobody || nobody->pw_uid == 0 || setpriv.isEmpty())
            GTEST_SKIP() << "running as root, and there is no user nobody or no setpriv to "
                            "run the case as another user";
        QTemporaryDir copyDir(QStringLiteral("/tmp/px417-export-XXXXXX"));
        ASSERT_TRUE(copyDir.isValid());
        const QString copy = copyDir.filePath(QStringLiteral("export_failure_test"));
        ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        const auto readRun = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                             QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                             QFileDevice::ReadOther | QFileDevice::ExeOther;
        ASSERT_TRUE(QFile::setPermissions(copyDir.path(), readRun | QFileDevice::WriteOwner));
        ASSERT_TRUE(QFile::setPermissions(copy, readRun));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        environment.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
        QString out;
        const int status = rerunThisCase({setpriv, QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                                          QStringLiteral("--regid=%1").arg(nobody->pw_gid),
                                          QStringLiteral("--clear-groups"), QStringLiteral("--")},
                                         environment, &out, copy);
        expectRerunPassed(status, out);
        return;
    }

    Exporter exporter;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("week.csv"));
    const QString book = dir.filePath(QStringLiteral("week.xlsx"));
    for (const QString& existing : {name, book}) {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("earlier\r\n") == 9);
    }
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    // The folder really refuses new files to this user.
    EXPECT_FALSE(QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly));

    const QString box = exporter.exportTo(name);
    EXPECT_EQ(box, "");
    const QByteArray written = fileBytes(name);
    EXPECT_TRUE(written.startsWith("Exported 2027.02.01 21:05:03,,,,,,\r\n"))
        << written.left(40).data();
    EXPECT_EQ(written.count("\r\n"), 102);
    // A workbook is built in full before the file is opened, then written the same way.
    EXPECT_EQ(exporter.exportTo(book), "");
    EXPECT_TRUE(fileBytes(book).startsWith(QByteArray("PK\x03\x04", 4)));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"week.csv", "week.xlsx"}));
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(ExportFailure, aDiskThatFillsPartWayIsReportedWithTheSystemsReason) {
    const QString smallDisk = qEnvironmentVariable("PX417_SMALL_DISK");
    if (smallDisk.isEmpty()) {
        // A file system of one page: a tmpfs in a mount namespace of its own.
        QTemporaryDir mountPoint;
        ASSERT_TRUE(mountPoint.isValid());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PX417_SMALL_DISK"), mountPoint.path());
        QString out;
        const int status =
            rerunInMountNamespace(QStringLiteral("mount -t tmpfs -o size=4k px417 \"$0\""),
                                  mountPoint.path(), environment, &out);
        if (status == 77)
            GTEST_SKIP() << "no small file system can be mounted here: " << out.toStdString();
        expectRerunPassed(status, out);
        return;
    }

    Exporter exporter;
    const QString name = smallDisk + QStringLiteral("/week.csv");
    const QString box = exporter.exportTo(name);
    expectFailureBox(exporter, box, name);
    EXPECT_TRUE(box.endsWith(QStringLiteral("No space left on device"))) << box.toStdString();
    EXPECT_EQ(QDir(smallDisk).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList())
        << "a temporary file was left behind";
}

TEST(ExportFailure, aWorkbookThatFailsToBeWrittenLeavesTheExistingFileAndNoScratchBehind) {
    Exporter exporter;
    QTemporaryDir dir;
    QTemporaryDir scratch; // where the workbook is built before it is put in place
    ASSERT_TRUE(dir.isValid() && scratch.isValid());
    const QString name = dir.filePath(QStringLiteral("week.xlsx"));
    const QByteArray earlier = "an earlier export";
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(earlier) == earlier.size());
    }

    const QByteArray oldTmp = qgetenv("TMPDIR");
    // Qt and the library both build their scratch files in the folder TMPDIR names.
    qputenv("TMPDIR", QFile::encodeName(scratch.path()));
    QString box;
    {
        const FileSizeLimit limit(1024); // a workbook of 100 rows is several KiB
        box = exporter.exportTo(name);
    }
    qputenv("TMPDIR", oldTmp);
    expectFailureBox(exporter, box, name);
    EXPECT_EQ(fileBytes(name), earlier);
    EXPECT_TRUE(QDir(scratch.path()).isEmpty()) << "the workbook's scratch files were left behind";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"week.xlsx"}));

    EXPECT_EQ(exporter.exportTo(name), "");
    EXPECT_TRUE(fileBytes(name).startsWith(QByteArray("PK\x03\x04", 4)));
}
