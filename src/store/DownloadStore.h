#pragma once

#include "link/DownloadKeeper.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The folder where every download that passes its check is kept, one new file each.
class DownloadStore : public DownloadKeeper {
public:
    // The user's folder: "downloads" in the application's data location
    // (~/.local/share/px417/downloads on Linux).
    static QString defaultFolder();

    explicit DownloadStore(QString folder) : m_folder(std::move(folder)) {}
    QString folder() const { return m_folder; }

    // Writes the packets (each without its "/") as a new file named for the completion time
    // and the port ("COM181"), with "-2", "-3" ... added when the name is taken; never
    // replaces a file. Makes the folder when needed. The file appears whole, its bytes on the
    // disk, or not at all. Returns its path, or an empty text with the reason and the folder
    // in *error.
    QString keep(const QList<QByteArray>& packets, const QDateTime& completedAt,
                 const QString& port, QString* error) const;
    // As keep(); returns the failure's text, empty when kept.
    QString keepDownload(const QList<QByteArray>& packets, const QDateTime& completedAt,
                         const QString& port) override;

private:
    QString m_folder;
};
