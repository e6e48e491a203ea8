#pragma once

#include "link/ReceptionView.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class QFileInfo;

// A kept download: the packets of one download that passed its check, exactly as received,
// each followed by its "/", in the order they were handled. Nothing else is in the file.
namespace kept {

inline constexpr char kSuffix[] = ".px417";
// A download is about 3 KiB; anything much larger is some other file.
inline constexpr qsizetype kMaxBytes = 64 * 1024;

} // namespace kept

struct KeptDownload {
    QByteArray bytes;
    // When the download passed its check; the slot table's "Received" stamps show it.
    QDateTime completedAt;
};

// The file's content for the packets (each given without its "/").
QByteArray keptBytes(const QList<QByteArray>& packets);

// "yyyy-MM-dd_HH-mm-ss_<port>" for a download completed at `at` on port ("COM181").
QString keptBaseName(const QDateTime& at, const QString& port);

// What is wrong with bytes as a kept download, or an empty text when they are one: they must
// be exactly the packets of one download that passes reception's check, and nothing more.
QString keptDownloadProblem(const QByteArray& bytes);

// Reads and checks the file at path. On failure *error holds what is wrong (unreadable, over
// kept::kMaxBytes, not a download). The completion time comes from a name that keptBaseName
// made (a suffix after it allowed), else from the file's last change.
std::optional<KeptDownload> readKeptDownload(const QString& path, QString* error);

// Puts a kept download through a fresh reception into view, as if it arrived at its
// completion time: the slot table's rows, the status texts and the decoder's call.
void replayKeptDownload(const KeptDownload& download, ReceptionView& view);
