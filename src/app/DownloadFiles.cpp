#include "app/DownloadFiles.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

QString openFailureText(const QString& path, const QString& error) {
    const QChar cr(13);
    return QStringLiteral("This file could not be opened:") + cr + QDir::toNativeSeparators(path) +
           cr + error;
}

QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}
