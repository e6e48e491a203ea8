#include "export/SafeWrite.h"

#include "Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include "FileSizeLimit.h"
#endif

namespace {

class SaveFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(SaveFile, secondWriteReplacesTheFirstCompletely) {
    const QString name = path(QStringLiteral("out.csv"));
    QString error;
    ASSERT_TRUE(writeFileReplacing(name, QByteArray(5000, 'x'), &error)) << error.toStdString();
    ASSERT_TRUE(writeFileReplacing(name, "short\r\n", &error)) << error.toStdString();
    EXPECT_EQ(fileBytes(name), QByteArray("short\r\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.csv")});
}

TEST_F(SaveFile, nameThatIsAFolderFailsWithAReasonAndLeavesItAlone) {
    const QString folder = path(QStringLiteral("taken.csv"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString inside = folder + QStringLiteral("/keep.txt");
    {
        QFile keep(inside);
        ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
        keep.write("kept");
    }
    QString error;
    EXPECT_FALSE(writeFileReplacing(folder, "new", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(fileBytes(inside), QByteArray("kept"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("taken.csv")});
}

TEST_F(SaveFile, missingFolderFailsWithAReason) {
    QString error;
    EXPECT_FALSE(writeFileReplacing(path(QStringLiteral("absent/out.csv")), "new", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("absent"))));
}

#ifdef Q_OS_UNIX
TEST_F(SaveFile, writeThatRunsOutOfSpaceLeavesTheExistingFileByteIdentical) {
    const QString name = path(QStringLiteral("out.csv"));
    const QByteArray original("Exported 2026.12.07 16:51:34,,,,,,\r\n\xB5m\r\n");
    ASSERT_TRUE(writeFileReplacing(name, original, nullptr));

    QString error;
    bool written = true;
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.ok());
        written = writeFileReplacing(name, QByteArray(100000, 'x'), &error);
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(fileBytes(name), original);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.csv")});
}
#endif

} // namespace
