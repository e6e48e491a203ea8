#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>

// Watches the folder where simulated meters publish their ports. The folder, and the one
// above it, may appear only after the reader has started: until then the nearest existing
// folder above is watched, so that its arrival is noticed too.
class PortsFolderWatcher : public QObject {
    Q_OBJECT
public:
    explicit PortsFolderWatcher(QString portsFolder, QObject* parent = nullptr);

    // The folders watched now.
    QStringList watched() const;

signals:
    // A port was published or withdrawn (or the folder itself came or went).
    void portsChanged();

private:
    void rewatch();
    void onDirectoryChanged(const QString& path);

    QString m_portsFolder;
    QFileSystemWatcher m_watcher;
    bool m_portsPresent = false;
};
