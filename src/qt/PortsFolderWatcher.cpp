#include "qt/PortsFolderWatcher.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

// Folders above the ports folder that may be missing at start: "px417" and the ports folder.
constexpr int kCreatedLevels = 2;

} // namespace

PortsFolderWatcher::PortsFolderWatcher(QString portsFolder, QObject* parent)
    : QObject(parent), m_portsFolder(QDir::cleanPath(std::move(portsFolder))) {
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this,
            &PortsFolderWatcher::onDirectoryChanged);
    rewatch();
}

QStringList PortsFolderWatcher::watched() const {
    return m_watcher.directories();
}

void PortsFolderWatcher::rewatch() {
    // The ports folder when it exists, else the nearest of the folders above it; never
    // further up than the runtime folder itself, whose other traffic is not ours.
    m_portsPresent = QFileInfo(m_portsFolder).isDir();
    QString target = m_portsFolder;
    for (int level = 0; level < kCreatedLevels && !QFileInfo(target).isDir(); ++level)
        target = QFileInfo(target).path();
    const QStringList current = m_watcher.directories();
    if (current == QStringList{target})
        return;
    if (!current.isEmpty())
        m_watcher.removePaths(current);
    if (QFileInfo(target).isDir())
        m_watcher.addPath(target);
}

void PortsFolderWatcher::onDirectoryChanged(const QString& path) {
    const bool wasPresent = m_portsPresent;
    rewatch();
    // Above the ports folder only its arrival or departure counts.
    if (path == m_portsFolder || m_portsPresent != wasPresent)
        emit portsChanged();
}
