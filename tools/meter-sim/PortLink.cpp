#include "PortLink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

PortLink::~PortLink() {
    remove();
}

bool PortLink::publish(const QString& folder, const QString& displayName, const QString& target,
                       QString* error) {
    if (displayName.isEmpty() || displayName.contains(u'/') || displayName == u"." ||
        displayName == u"..") {
        *error = QStringLiteral("unusable device name \"%1\"").arg(displayName);
        return false;
    }
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create folder %1").arg(folder);
        return false;
    }
    const QString path = QDir(folder).filePath(displayName);
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        // A link left behind by a meter that was killed outright; a real file is not ours.
        if (!existing.isSymLink()) {
            *error = QStringLiteral("%1 exists and is not a link").arg(path);
            return false;
        }
        QFile::remove(path);
    }
    if (!QFile::link(target, path)) {
        *error = QStringLiteral("cannot create link %1").arg(path);
        return false;
    }
    m_path = path;
    m_target = target;
    return true;
}

void PortLink::remove() {
    if (m_path.isEmpty())
        return;
    if (QFileInfo(m_path).symLinkTarget() == m_target)
        QFile::remove(m_path);
    m_path.clear();
}
