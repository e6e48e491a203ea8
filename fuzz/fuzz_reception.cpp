// Arbitrary serial text, cut into arbitrary notifications, through packet framing, reception and,
// after a complete download, the real decoder.

#include "FuzzCheck.h"
#include "decode/DecodeMemory.h"
#include "grid/GridState.h"
#include "link/Reception.h"
#include "link/SlotTable.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int kMemRows = 101;
constexpr int kMemCols = 8;
constexpr int kComPort = 181;

// The window as reception sees it, checking every write.
class CheckingView : public ReceptionView {
public:
    QString statusText(int line) const override {
        FUZZ_CHECK(line == 0 || line == 1);
        return m_status[line];
    }
    void setStatusText(int line, const QString& text) override {
        FUZZ_CHECK(line == 0 || line == 1);
        static const QRegularExpression allowed[2] = {
            QRegularExpression(
                QStringLiteral("^(Downloading\\.\\.\\.|Ready\\.|Data check error\\.)$")),
            QRegularExpression(
                QStringLiteral("^(\\d{1,3}%|\\d{1,3}|COM:181|Please try again\\.)$"))};
        FUZZ_CHECK(allowed[line].match(text).hasMatch());
        m_status[line] = text;
    }
    void setSlotCell(int row, int col, const QString& text) override {
        FUZZ_CHECK(row >= 1 && row <= kSlotTableRows - 1);
        FUZZ_CHECK(col >= 0 && col < kSlotTableCols);
        // The raw packet never carries its terminator; the other cells are short numbers or
        // the stamp.
        FUZZ_CHECK(!text.contains(u'/'));
        FUZZ_CHECK(col == kRawColumn || text.size() <= 19);
        m_slots.setTextMatrix(row, col, text);
    }
    QDateTime now() const override { return QDateTime(QDate(2027, 2, 1), QTime(21, 5, 3)); }
    int comPort() const override { return kComPort; }
    void decodeMemory() override {
        // Only a complete download is decoded, and only after the panel is back to idle.
        FUZZ_CHECK(m_status[0] == u"Ready." && m_status[1] == u"COM:181");
        ++m_decodes;
        ::decodeMemory(m_slots, m_mem);
        for (int row = 1; row < kMemRows; ++row)
            FUZZ_CHECK(m_mem.textMatrix(row, 0) == QString::number(row));
    }

    QString m_status[2];
    GridState m_slots{kSlotTableRows, kSlotTableCols};
    GridState m_mem{kMemRows, kMemCols};
    int m_decodes = 0;
};

// Chunk lengths from a small generator seeded by the first input byte, so one input always
// gives the same cuts. A length of 0 is a notification that finds nothing waiting.
class ChunkLengths {
public:
    explicit ChunkLengths(std::uint8_t seed) : m_state(seed * 2654435761u + 1u) {}
    std::size_t next() {
        m_state = m_state * 1664525u + 1013904223u;
        const std::uint32_t pick = m_state >> 24;
        // Mostly short reads, now and then a long one, as adapters deliver them.
        return pick < 224 ? pick % 40 : 256 + (pick % 32) * 128;
    }

private:
    std::uint32_t m_state;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    ChunkLengths lengths(data[0]);
    ++data;
    --size;

    Reception reception;
    CheckingView view;
    reception.resetFlags();
    std::size_t at = 0;
    while (at < size) {
        const std::size_t length = std::min(lengths.next(), size - at);
        const QByteArray chunk(reinterpret_cast<const char*>(data + at),
                               static_cast<qsizetype>(length));
        const QByteArray before = reception.comBuffer();
        reception.onComm(chunk, view);
        at += length;

        if (chunk.isEmpty())
            FUZZ_CHECK(reception.comBuffer() == before);
        FUZZ_CHECK(reception.comBuffer().size() <= PacketFramer::kMaxPending);
        // Every complete packet is handled in the notification that completes it.
        FUZZ_CHECK(!reception.comBuffer().contains('/'));
        for (int slot = -1; slot <= kSlotCount; ++slot) {
            const int flag = reception.slotReceived(slot);
            FUZZ_CHECK(flag == 0 || flag == 1);
            if (slot < 0 || slot >= kSlotCount)
                FUZZ_CHECK(flag == 0);
        }
    }
    return 0;
}
