#include "serial/PortAccess.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <limits>

#if defined(Q_OS_LINUX)
#include <cerrno>
#include <csignal>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace portaccess {

#if defined(Q_OS_LINUX)
namespace {

// Reads the start of a plain file; a FIFO or a device planted under a lock file's name could
// block the window for good, so only regular files are opened.
QByteArray readSmallFile(const QString& path) {
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(4096);
}

} // namespace
#endif

QString groupFix(const QString& node) {
#if defined(Q_OS_LINUX)
    const QByteArray path = QFile::encodeName(node);
    if (::access(path.constData(), R_OK) == 0 || errno != EACCES)
        return {};
    struct stat info {};
    if (::stat(path.constData(), &info) != 0 || (info.st_mode & S_IRGRP) == 0)
        return {};
    const group* owner = ::getgrgid(info.st_gid);
    if (!owner || !owner->gr_name)
        return {};
    const QString name = QString::fromLocal8Bit(owner->gr_name);
    return QStringLiteral("The port belongs to group %1: sudo usermod -aG %1 $USER, then log in "
                          "again.")
        .arg(name);
#else
    Q_UNUSED(node);
    return {};
#endif
}

QString inUseBy(const QString& node) {
#if defined(Q_OS_LINUX)
    // Named as the serial-port layer names it: relative to /dev, with "/" as "_".
    QString name = node;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name = QStringLiteral("LCK..") + name.replace(u'/', u'_');
    // The folders where serial-port programs keep such locks; /var/lock is usually /run/lock.
    static const QStringList kLockFolders = {
        QStringLiteral("/var/lock"),       QStringLiteral("/run/lock"),
        QStringLiteral("/etc/locks"),      QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"), QStringLiteral("/tmp"),
        QStringLiteral("/var/tmp"),        QStringLiteral("/var/lock/lockdev")};
    for (const QString& folder : kLockFolders) {
        // The process id comes first, as text (padded in the older format); the toolkit's
        // locks give the program's name on the second line.
        const QList<QByteArray> lines = readSmallFile(folder + u'/' + name).split('\n');
        bool ok = false;
        const qint64 pid = lines.constFirst().trimmed().toLongLong(&ok);
        // A lock naming this process is no other program's.
        if (!ok || pid <= 0 || pid > std::numeric_limits<pid_t>::max() || pid == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM)
            continue; // a stale lock: its process has ended
        // The name it was started by: a program that hands over to another by exec keeps it,
        // where the kernel's short name would be the other program's file.
        const QByteArray started =
            readSmallFile(QStringLiteral("/proc/%1/cmdline").arg(pid)).split('\0').constFirst();
        QString program = QFileInfo(QString::fromLocal8Bit(started)).fileName();
        if (program.isEmpty())
            program = QString::fromLocal8Bit(
                readSmallFile(QStringLiteral("/proc/%1/comm").arg(pid)).trimmed());
        if (program.isEmpty())
            program = QString::fromLocal8Bit(lines.value(1).trimmed());
        if (program.isEmpty())
            program = QStringLiteral("unknown");
        return QStringLiteral("In use by another program: %1 (process %2)").arg(program).arg(pid);
    }
#else
    Q_UNUSED(node);
#endif
    return {};
}

} // namespace portaccess
