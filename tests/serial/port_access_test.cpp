// Who holds a port, told from the lock file that serial-port programs leave for it.
#include "serial/PortAccess.h"

#include "QtPrinters.h"

#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A device node of the test's own, and its lock file planted in /tmp, one of the folders the
// reader searches; the lock is removed at the end.
class PlantedLock {
public:
    explicit PlantedLock(const QString& tag)
        : m_node(QStringLiteral("/dev/px417-test-%1-%2").arg(tag).arg(::getpid())),
          m_path(QStringLiteral("/tmp/LCK..px417-test-%1-%2").arg(tag).arg(::getpid())) {
        QFile::remove(m_path);
    }
    ~PlantedLock() { QFile::remove(m_path); }
    PlantedLock(const PlantedLock&) = delete;
    PlantedLock& operator=(const PlantedLock&) = delete;

    QString node() const { return m_node; }
    QByteArray path() const { return QFile::encodeName(m_path); }
    // A lock as the toolkit writes it: the process id padded to ten places, then the program.
    bool write(qint64 pid) const {
        QFile file(m_path);
        const QByteArray text = QByteArray::number(pid).rightJustified(10) + "\npx417\n";
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(text) == text.size();
    }

private:
    QString m_node;
    QString m_path;
};

} // namespace

TEST(PortAccess, aLockNamingThisProcessIsNoOtherProgramsWhileOneNamingAnotherIs) {
    PlantedLock lock(QStringLiteral("own"));
    ASSERT_TRUE(lock.write(::getpid()));
    EXPECT_EQ(portaccess::inUseBy(lock.node()), QString());

    // The same lock naming the process that started this test, which is still running.
    ASSERT_TRUE(lock.write(::getppid()));
    const QString holder = portaccess::inUseBy(lock.node());
    EXPECT_TRUE(holder.startsWith(QStringLiteral("In use by another program: ")) &&
                holder.endsWith(QStringLiteral(" (process %1)").arg(::getppid())))
        << holder.toStdString();
}

// A FIFO under the lock file's name would block a read until something writes to it; the
// answer must come at once, and the test gives up on it after a few seconds of its own.
TEST(PortAccess, aFifoPlantedAsTheLockFileDoesNotBlock) {
    using namespace std::chrono_literals;
    PlantedLock lock(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(lock.path().constData(), 0600), 0);

    // Asked on a thread of its own, which a blocked read may hold without holding the test.
    auto answer = std::make_shared<std::promise<QString>>();
    std::future<QString> holder = answer->get_future();
    std::thread([answer, node = lock.node()] {
        answer->set_value(portaccess::inUseBy(node));
    }).detach();
    const bool answered = holder.wait_for(5s) == std::future_status::ready;
    // A blocked read is handed a writer that goes away again, and so the end of the file.
    for (int tries = 0; !answered && tries < 100; ++tries) {
        const int writer = ::open(lock.path().constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        if (holder.wait_for(20ms) == std::future_status::ready)
            break;
    }
    ASSERT_TRUE(answered) << "reading the lock file blocked for 5 s";
    EXPECT_EQ(holder.get(), QString());
}
