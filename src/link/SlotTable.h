#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>

class GridState;

// The slot table (FG_Data): the raw store of a download, one row per meter slot. Slot s lives
// in row s + 1; row 0 is the header row.
inline constexpr int kSlotTableRows = 102;
inline constexpr int kSlotTableCols = 12;
inline constexpr int kFirstSlot = 0;
inline constexpr int kCalibrationSlot = 100;
inline constexpr int kSlotCount = kCalibrationSlot + 1;

// Columns of a slot row.
inline constexpr int kSlotColumn = 0;
inline constexpr int kFirstByteColumn = 1;
inline constexpr int kRecordBytes = 9;
inline constexpr int kRawColumn = 10;
inline constexpr int kReceivedColumn = 11;

// Fields of the meter's packets, split at ",": a record packet is the slot number, its bytes
// and one more field; the calibration packet is the slot number and the low and high byte of
// each calibration word, at the least.
inline constexpr int kRecordFields = 1 + kRecordBytes + 1;
inline constexpr int kCalibrationWords = 6;
inline constexpr int kCalibrationFields = 1 + 2 * kCalibrationWords;

// Row of slot s.
constexpr int slotRow(int slot) {
    return slot + 1;
}

// The layout as one list of 24 values: the 12 column widths in twips, then the 12 headers.
// Column i takes entries i and i + 12.
const QVariantList& slotTableLayout();

// Lays out the slot table once at start-up. For each column i in order: its width, centred
// column alignment, current cell (0, i), centred cell alignment, header text. Afterwards the
// current cell is the "Received" header cell.
void layoutSlotTable(GridState& grid);

// The "Received" stamp of a handled packet: "YYYY_MM_DD hh:nn:ss", 24-hour clock.
inline QString receivedStamp(const QDateTime& when) {
    return when.toString(QStringLiteral("yyyy_MM_dd HH:mm:ss"));
}
