#include "PortLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <unistd.h>

namespace {

// How many COM numbers publishFree() tries; far more meters than anyone runs at once.
constexpr int kFreeNameTries = 100;
// Another simulator holds the lock only while it claims a name.
constexpr int kLockWaitMs = 10000;

// Simulators hold it while they claim a name, so that one never removes the link another has
// just made in place of a stale one. Beside the ports folder, which the reader watches.
QString lockPath(const QString& folder) {
    return QDir::cleanPath(folder) + QStringLiteral(".lock");
}

} // namespace

PortLink::~PortLink() {
    remove();
}

bool PortLink::usable(const QString& folder, const QString& displayName, QString* error) {
    if (displayName.isEmpty() || displayName.contains(u'/') || displayName == u"." ||
        displayName == u"..") {
        *error = QStringLiteral("unusable device name \"%1\"").arg(displayName);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create folder %1").arg(folder);
        return false;
    }
    return true;
}

bool PortLink::publish(const QString& folder, const QString& displayName, const QString& target,
                       QString* error) {
    if (!usable(folder, displayName, error))
        return false;
    QLockFile lock(lockPath(folder));
    if (!lock.tryLock(kLockWaitMs)) {
        *error = QStringLiteral("cannot lock %1").arg(lock.fileName());
        return false;
    }
    return claim(QDir(folder).filePath(displayName), target, error) == Claim::Claimed;
}

bool PortLink::publishFree(const QString& folder, const QString& stem, int first,
                           const QString& target, QString* error) {
    const auto nameFor = [&stem](int n) { return QStringLiteral("%1 (COM%2)").arg(stem).arg(n); };
    if (!usable(folder, nameFor(first), error))
        return false;
    QLockFile lock(lockPath(folder));
    if (!lock.tryLock(kLockWaitMs)) {
        *error = QStringLiteral("cannot lock %1").arg(lock.fileName());
        return false;
    }
    for (int n = first; n < first + kFreeNameTries; ++n) {
        const Claim result = claim(QDir(folder).filePath(nameFor(n)), target, error);
        if (result != Claim::Taken)
            return result == Claim::Claimed;
    }
    *error = QStringLiteral("no free name from %1 to %2 in %3")
                 .arg(nameFor(first), nameFor(first + kFreeNameTries - 1), folder);
    return false;
}

PortLink::Claim PortLink::claim(const QString& path, const QString& target, QString* error) {
    const QByteArray link = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(target);
    // Creating the link is the claim: it fails when the name exists, whoever made it.
    if (::symlink(to.constData(), link.constData()) == 0) {
        m_path = path;
        m_target = target;
        return Claim::Claimed;
    }
    if (errno != EEXIST) {
        *error = QStringLiteral("cannot create link %1: %2").arg(path, qt_error_string(errno));
        return Claim::Failed;
    }
    const QFileInfo existing(path);
    if (!existing.isSymLink()) {
        *error = QStringLiteral("%1 exists and is not a link").arg(path);
        return Claim::Taken;
    }
    if (existing.exists()) {
        *error = QStringLiteral("\"%1\" is taken by a running meter: %2 leads to %3")
                     .arg(existing.fileName(), path, existing.symLinkTarget());
        return Claim::Taken;
    }
    // Left behind by a meter that was killed outright: its terminal is gone.
    if (!QFile::remove(path)) {
        *error = QStringLiteral("cannot remove the stale link %1").arg(path);
        return Claim::Failed;
    }
    return claim(path, target, error);
}

void PortLink::remove() {
    if (m_path.isEmpty())
        return;
    if (QFileInfo(m_path).symLinkTarget() == m_target)
        QFile::remove(m_path);
    m_path.clear();
}
