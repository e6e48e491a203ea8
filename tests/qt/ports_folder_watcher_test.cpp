#include "WaitUntil.h"
#include "qt/PortsFolderWatcher.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kNoticeMs = 5000;
// Long enough for a notice that should not come to have come.
constexpr int kQuietMs = 300;

TEST(PortsFolderWatcher, noticesTheFolderArrivingAndEveryPortPublishedOrWithdrawnButNotOtherFiles) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QString ports = runtime.filePath(QStringLiteral("px417/ports"));
    PortsFolderWatcher watcher(ports);
    QSignalSpy changed(&watcher, &PortsFolderWatcher::portsChanged);
    EXPECT_EQ(watcher.watched(), QStringList{runtime.path()});

    // Other programs' files in the runtime folder are not ours.
    QFile other(runtime.filePath(QStringLiteral("pulse-socket")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    QTest::qWait(kQuietMs);
    EXPECT_EQ(changed.count(), 0);

    // A simulator's first start creates both folders, then its link.
    ASSERT_TRUE(QDir().mkpath(ports));
    ASSERT_TRUE(waitUntil([&] { return watcher.watched() == QStringList{ports}; }, kNoticeMs));
    ASSERT_TRUE(waitUntil([&] { return changed.count() >= 1; }, kNoticeMs));
    const qsizetype afterFolder = changed.count();

    const QString link = ports + QStringLiteral("/Arduino USB Serial Light Adapter (COM181)");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), link));
    ASSERT_TRUE(waitUntil([&] { return changed.count() > afterFolder; }, kNoticeMs));
    QTest::qWait(kQuietMs);
    const qsizetype afterLink = changed.count();

    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(waitUntil([&] { return changed.count() > afterLink; }, kNoticeMs));
}

TEST(PortsFolderWatcher, aFolderRemovedAndMadeAgainIsWatchedAgain) {
    QTemporaryDir runtime;
    const QString ports = runtime.filePath(QStringLiteral("px417/ports"));
    ASSERT_TRUE(QDir().mkpath(ports));
    PortsFolderWatcher watcher(ports);
    QSignalSpy changed(&watcher, &PortsFolderWatcher::portsChanged);
    EXPECT_EQ(watcher.watched(), QStringList{ports});

    ASSERT_TRUE(QDir(runtime.filePath(QStringLiteral("px417"))).removeRecursively());
    ASSERT_TRUE(waitUntil([&] { return changed.count() >= 1; }, kNoticeMs));
    EXPECT_EQ(watcher.watched(), QStringList{runtime.path()});

    ASSERT_TRUE(QDir().mkpath(ports));
    ASSERT_TRUE(waitUntil([&] { return watcher.watched() == QStringList{ports}; }, kNoticeMs));
    const qsizetype before = changed.count();
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), ports + QStringLiteral("/Meter (COM5)")));
    ASSERT_TRUE(waitUntil([&] { return changed.count() > before; }, kNoticeMs));
}

} // namespace
