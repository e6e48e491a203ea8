#pragma once

#include "decode/Calibration.h"
#include "grid/CellTable.h"
#include "link/SlotTable.h"
#include "table/MemTable.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>

// B0 to B8 of one measurement record.
using RecordBytes = std::array<quint8, kRecordBytes>;
// Slot#, Timestamp, Measurement Mode, Calculation Mode, Measurement Value, Units, Crest Factor,
// Filter.
using RowTexts = std::array<QString, memtable::kCols>;

// A byte cell's value: plain decimal digits from 0 to 255; anything else (empty, signs,
// spaces, other characters, larger numbers) gives no value.
std::optional<quint8> parseByteText(QStringView text);

// Bytes of slot-table row `row` (columns 1 to 9); none when any cell is not a byte value.
std::optional<RecordBytes> readRecordBytes(const CellTable& slotTable, int row);

// The eight texts of measurement-table row `row`. Without bytes the row shows its number, the
// timestamp placeholder and "-" elsewhere. A value needing an entry the tables or the
// calibration do not have is shown as "-".
RowTexts decodeRecord(int row, const std::optional<RecordBytes>& bytes,
                      const CalibrationFactors& factors);
