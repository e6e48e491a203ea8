#include "decode/DecodeMemory.h"

#include "decode/Calibration.h"
#include "decode/RecordDecoder.h"
#include "link/SlotTable.h"
#include "table/MemTable.h"

void decodeMemory(const CellTable& slotTable, CellTable& memTable) {
    const QString calibrationText = slotTable.textMatrix(slotRow(kCalibrationSlot), kRawColumn);
    const CalibrationFactors factors = parseCalibration(calibrationText);

    for (int row = memtable::kFirstDataRow; row <= memtable::kLastDataRow; ++row) {
        const RowTexts texts = decodeRecord(row, readRecordBytes(slotTable, row), factors);
        for (int col = 0; col < memtable::kCols; ++col)
            memTable.setTextMatrix(row, col, texts[static_cast<size_t>(col)]);
    }
}
