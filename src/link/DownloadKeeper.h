#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Where a download that passed its check is kept, before it is decoded.
class DownloadKeeper {
public:
    virtual ~DownloadKeeper() = default;
    // Keeps the packets (each without its "/") of a download completed at completedAt on port
    // ("COM181"). Returns an empty text, or why the download could not be kept (the place
    // and the system's reason); decoding goes on either way.
    virtual QString keepDownload(const QList<QByteArray>& packets, const QDateTime& completedAt,
                                 const QString& port) = 0;
};
