#include "store/DownloadStore.h"

#include "store/KeptDownload.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtDebug>

namespace {

// Names tried for one second and port before giving up; a meter sends one download at a time.
constexpr int kMaxNameTries = 1000;

} // namespace

QString DownloadStore::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("downloads"));
}

void DownloadStore::keepDownload(const QList<QByteArray>& packets, const QDateTime& completedAt,
                                 const QString& port) {
    QString error;
    if (keep(packets, completedAt, port, &error).isEmpty())
        qWarning().noquote() << error;
}

QString DownloadStore::keep(const QList<QByteArray>& packets, const QDateTime& completedAt,
                            const QString& port, QString* error) const {
    const auto fail = [this, error](const QString& reason) {
        if (error)
            *error = QStringLiteral("the download could not be kept in %1: %2")
                         .arg(QDir::toNativeSeparators(m_folder), reason);
        return QString();
    };
    const QDir dir(m_folder);
    if (m_folder.isEmpty() || !dir.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("the folder cannot be made"));

    const QString base = keptBaseName(completedAt, port);
    QString path;
    for (int n = 1; n <= kMaxNameTries && path.isEmpty(); ++n) {
        const QString name = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
        const QString candidate = dir.filePath(name + QLatin1String(kept::kSuffix));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            path = candidate;
    }
    if (path.isEmpty())
        return fail(QStringLiteral("every name for %1 is taken").arg(base));

    QSaveFile file(path);
    const QByteArray bytes = keptBytes(packets);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(file.errorString());
    return path;
}
