#include "store/KeptDownload.h"

#include "link/Reception.h"
#include "link/SlotTable.h"
#include "store/DownloadTables.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kNameTimeFormat = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

// Notes which packets the checked download was made of.
class CheckingView : public DownloadTables {
public:
    explicit CheckingView(const Reception& reception) : m_reception(reception) {}
    void decodeMemory() override {
        DownloadTables::decodeMemory();
        m_packets = m_reception.completedDownload();
    }
    const QList<QByteArray>& packets() const { return m_packets; }

private:
    const Reception& m_reception;
    QList<QByteArray> m_packets;
};

// The clock stands at the download's completion.
class ReplayView : public ForwardingReceptionView {
public:
    ReplayView(ReceptionView& view, QDateTime at)
        : ForwardingReceptionView(view), m_at(std::move(at)) {}
    QDateTime now() const override { return m_at; }

private:
    QDateTime m_at;
};

QDateTime completionTime(const QFileInfo& info) {
    static const QRegularExpression kName(QStringLiteral(R"(^(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d)_)"));
    const QRegularExpressionMatch match = kName.match(info.fileName());
    if (match.hasMatch()) {
        const QDateTime at = QDateTime::fromString(match.captured(1), kNameTimeFormat);
        if (at.isValid())
            return at;
    }
    return info.lastModified();
}

} // namespace

QByteArray keptBytes(const QList<QByteArray>& packets) {
    QByteArray bytes;
    for (const QByteArray& packet : packets)
        bytes += packet + '/';
    return bytes;
}

QString keptBaseName(const QDateTime& at, const QString& port) {
    return at.toString(kNameTimeFormat) + u'_' + port;
}

QString keptDownloadProblem(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return QStringLiteral("the file is empty");
    Reception reception;
    CheckingView view(reception);
    reception.onComm(bytes, view);
    if (view.completions() == 0 && view.slotsAtFailure().isEmpty())
        return QStringLiteral("not a kept download: no complete download of slots 0 to %1")
            .arg(kCalibrationSlot);
    if (view.completions() == 0)
        return QStringLiteral("not a kept download: only %1 of %2 slots")
            .arg(view.slotsAtFailure())
            .arg(kSlotCount);
    // Reception drops what follows slot 100 and ignores stray packets; a kept file has none.
    if (keptBytes(view.packets()) != bytes)
        return QStringLiteral("not a kept download: it holds more than the %1 packets of one "
                              "download")
            .arg(kSlotCount);
    return {};
}

std::optional<KeptDownload> readKeptDownload(const QString& path, QString* error) {
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(QStringLiteral("not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot be read: ") + file.errorString());
    // One byte past the limit tells an oversized file without reading all of it.
    const QByteArray bytes = file.read(kept::kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot be read: ") + file.errorString());
    if (bytes.size() > kept::kMaxBytes)
        return fail(QStringLiteral("larger than %1 KiB, too large for a download")
                        .arg(kept::kMaxBytes / 1024));
    const QString problem = keptDownloadProblem(bytes);
    if (!problem.isEmpty())
        return fail(problem);
    return KeptDownload{bytes, completionTime(info)};
}

void replayKeptDownload(const KeptDownload& download, ReceptionView& view) {
    Reception reception;
    ReplayView replay(view, download.completedAt);
    reception.onComm(download.bytes, replay);
}
