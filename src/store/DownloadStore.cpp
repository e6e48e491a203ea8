#include "store/DownloadStore.h"

#include "store/DiskFiles.h"
#include "store/KeptDownload.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

namespace {

// Names tried for one second and port before giving up; a meter sends one download at a time.
constexpr int kMaxNameTries = 1000;
// Scratch names tried; each ends in 32 random bits, so a second try is already rare.
constexpr int kScratchTries = 8;

// Opens a new, unbuffered file beside the kept ones, under a name of its own.
bool openScratch(const QDir& dir, const QString& base, QFile* file) {
    for (int n = 0; n < kScratchTries; ++n) {
        file->setFileName(dir.filePath(
            QStringLiteral("%1.%2.part")
                .arg(base)
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        // Unbuffered: a buffered write that fails only when flushed (disk full) would go
        // unnoticed.
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (!file->exists())
            return false;
    }
    return false;
}

// Writes every byte; false once a write fails, which gives the system's reason.
bool writeAll(QFile& file, const QByteArray& bytes) {
    // A write cut short by a full disk returns the part written with no error set; only the
    // next write fails and gives the reason.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

} // namespace

QString DownloadStore::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("downloads"));
}

QString DownloadStore::keepDownload(const QList<QByteArray>& packets, const QDateTime& completedAt,
                                    const QString& port) {
    QString error;
    keep(packets, completedAt, port, &error);
    return error;
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

    // The bytes go to the disk under a scratch name first, so that the download's own name
    // appears only for a whole file.
    const QString base = keptBaseName(completedAt, port);
    QFile scratch;
    if (!openScratch(dir, base, &scratch))
        return fail(scratch.errorString());
    QString reason;
    if (!writeAll(scratch, keptBytes(packets)))
        reason = scratch.errorString();
    else
        syncToDisk(scratch, &reason);
    scratch.close();
    for (int n = 1; n <= kMaxNameTries && reason.isEmpty(); ++n) {
        const QString name = n == 1 ? base : base + QStringLiteral("-%1").arg(n);
        const QString path = dir.filePath(name + QLatin1String(kept::kSuffix));
        switch (renameWithoutReplacing(scratch.fileName(), path, &reason)) {
        case RenameResult::Done:
            return path;
        case RenameResult::NameTaken:
            reason.clear();
            break;
        case RenameResult::Failed:
            break;
        }
    }
    scratch.remove();
    return fail(reason.isEmpty() ? QStringLiteral("every name for %1 is taken").arg(base) : reason);
}
