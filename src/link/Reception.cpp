#include "link/Reception.h"

#include "link/FieldRules.h"
#include "link/StatusTexts.h"

#include <QList>

#include <algorithm>
#include <numeric>

using namespace statustext;

namespace {

void setStatusIfDifferent(ReceptionView& view, int line, const QString& text) {
    if (view.statusText(line) != text)
        view.setStatusText(line, text);
}

// A truncated packet must not count, or bytes left from an earlier download would be decoded
// as this one's while the check reports success.
bool isUsable(int slot, qsizetype fieldCount) {
    if (slot == kCalibrationSlot)
        return fieldCount >= kCalibrationFields;
    return fieldCount == kRecordFields;
}

} // namespace

void Reception::resetFlags() {
    m_slotReceived.fill(0);
    m_lastSlot.reset();
}

void Reception::onComm(const QByteArray& waiting, ReceptionView& view) {
    if (waiting.isEmpty())
        return;
    m_framer.append(waiting);
    // Every complete packet now, not one per call: at the end of a transfer no further
    // notification comes to pick up a packet left behind. Whatever follows slot 100 is
    // dropped with the buffer: a meter sends one download per transfer, so it can only be a
    // stray byte that would be glued to the next download's first packet.
    while (const std::optional<QByteArray> packet = m_framer.takePacket()) {
        if (handlePacket(*packet, view) == kCalibrationSlot) {
            checkCompletion(view);
            m_framer.clear();
            return;
        }
    }
}

void Reception::endTransfer() {
    resetFlags();
    m_framer.clear();
}

void Reception::lineLost(ReceptionView& view) {
    endTransfer();
    view.setStatusText(0, QString::fromLatin1(kConnectionLost));
    view.setStatusText(1, QString::fromLatin1(kPleaseReconnect));
}

const QByteArray& Reception::comBuffer() const {
    return m_framer.comBuffer();
}

int Reception::slotReceived(int slot) const {
    if (slot < kFirstSlot || slot > kCalibrationSlot)
        return 0;
    return m_slotReceived[static_cast<size_t>(slot)];
}

std::optional<int> Reception::handlePacket(const QByteArray& packet, ReceptionView& view) {
    if (packet.isEmpty())
        return std::nullopt;
    const QList<QByteArray> fields = packet.split(',');
    const std::optional<int> slot = slotNumber(fields.first());
    if (!slot)
        return std::nullopt;

    // The meter sends slot 0 first and then ascending slots, so a step back means a new
    // transfer began. The slots of a broken-off one must not fill this one's gaps.
    if (m_lastSlot && *slot < *m_lastSlot)
        resetFlags();
    m_lastSlot = slot;
    if (isUsable(*slot, fields.size())) {
        m_slotReceived[static_cast<size_t>(*slot)] = 1;
        rememberPacket(*slot, packet);
    }
    const int row = slotRow(*slot);
    view.setSlotCell(row, kSlotColumn, QString::number(*slot));
    view.setSlotCell(row, kRawColumn, QString::fromLatin1(packet));
    view.setSlotCell(row, kReceivedColumn, receivedStamp(view.now()));

    if (fields.size() == kRecordFields) {
        for (int k = 0; k < kRecordBytes; ++k)
            view.setSlotCell(row, kFirstByteColumn + k,
                             QString::number(leadingHex(fields.at(k + 1))));
        setStatusIfDifferent(view, 0, QString::fromLatin1(kDownloading));
        setStatusIfDifferent(view, 1, QString::number(*slot + 1) + QLatin1Char('%'));
    }
    return slot;
}

void Reception::rememberPacket(int slot, const QByteArray& packet) {
    m_packets[static_cast<size_t>(slot)] = packet;
    m_handledAt[static_cast<size_t>(slot)] = ++m_handled;
}

QList<QByteArray> Reception::packetsInOrder() const {
    std::array<int, kSlotCount> order{};
    std::iota(order.begin(), order.end(), kFirstSlot);
    std::sort(order.begin(), order.end(), [this](int a, int b) {
        return m_handledAt[static_cast<size_t>(a)] < m_handledAt[static_cast<size_t>(b)];
    });
    QList<QByteArray> packets;
    packets.reserve(kSlotCount);
    for (const int slot : order)
        packets.append(m_packets[static_cast<size_t>(slot)]);
    return packets;
}

void Reception::checkCompletion(ReceptionView& view) {
    int count = 0;
    for (int& received : m_slotReceived) {
        count += received;
        received = 0;
    }
    m_lastSlot.reset();
    view.setStatusText(1, QString::number(count));
    if (count == kSlotCount) {
        view.setStatusText(0, QString::fromLatin1(kReady));
        view.setStatusText(1, comText(view.comPort()));
        m_completed = packetsInOrder();
        view.decodeMemory();
        m_completed.clear();
    } else {
        view.setStatusText(0, QString::fromLatin1(kDataCheckError));
        view.setStatusText(1, QString::fromLatin1(kPleaseTryAgain));
    }
}
