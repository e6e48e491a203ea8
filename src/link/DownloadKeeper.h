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
    // ("COM181"). A download that cannot be kept is reported by the keeper and changes nothing
    // else: decoding goes on.
    virtual void keepDownload(const QList<QByteArray>& packets, const QDateTime& completedAt,
                              const QString& port) = 0;
};
