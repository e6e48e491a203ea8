#include "DecodeMemory.h"

#include "Calibration.h"
#include "RecordDecoder.h"

namespace {

constexpr int kFirstDataRow = 1;
constexpr int kLastDataRow = 100;
constexpr int kCalibrationRow = 101;
constexpr int kRawColumn = 10;

} // namespace

void decodeMemory(const CellTable& slotTable, CellTable& memTable) {
    const QString calibrationText = slotTable.textMatrix(kCalibrationRow, kRawColumn);
    const CalibrationFactors factors = parseCalibration(calibrationText);

    for (int row = kFirstDataRow; row <= kLastDataRow; ++row) {
        const RowTexts texts = decodeRecord(row, readRecordBytes(slotTable, row), factors);
        for (int col = 0; col < kRowTextCount; ++col)
            memTable.setTextMatrix(row, col, texts[static_cast<size_t>(col)]);
    }
}

QString BuildFormatMask(qint16 decimals) {
    QString mask;
    for (int i = 0; i <= decimals; ++i) {
        if (i == 1)
            mask += u'.';
        mask += u'0';
    }
    return mask;
}
