#include "decode/RecordDecoder.h"

#include "decode/Calendar.h"
#include "decode/LookupTables.h"
#include "decode/ValueFormat.h"
#include "text/NumberText.h"

namespace {

using memtable::Column;

QString& at(RowTexts& texts, Column c) {
    return texts[static_cast<size_t>(c)];
}

RowTexts placeholderRow(int row) {
    RowTexts texts;
    texts.fill(kNoValue.toString());
    at(texts, memtable::kSlotCol) = QString::number(row);
    at(texts, memtable::kTimeCol) = kNoTimestamp.toString();
    return texts;
}

QString valueText(unsigned a, unsigned mode, unsigned units, unsigned gainCode,
                  const CalibrationFactors& factors) {
    // No mode, no factor or no divisor: any number shown would be made up.
    if (mode >= kMeasurementModes.size() || units >= kUnitDivisors.size())
        return kNoValue.toString();
    const std::optional<double>& k = factors[mode];
    if (!k)
        return kNoValue.toString();
    return formatReading(scaledReading(a, *k, kGains[gainCode], kUnitDivisors[units]));
}

} // namespace

std::optional<quint8> parseByteText(QStringView text) {
    qsizetype digits = 0;
    const std::optional<qint64> value = leadingDigits(text, &digits);
    if (!value || digits != text.size() || *value > 255)
        return std::nullopt;
    return static_cast<quint8>(*value);
}

std::optional<RecordBytes> readRecordBytes(const CellTable& slotTable, int row) {
    RecordBytes bytes{};
    for (int k = 0; k < kRecordBytes; ++k) {
        const std::optional<quint8> value =
            parseByteText(slotTable.textMatrix(row, kFirstByteColumn + k));
        if (!value)
            return std::nullopt;
        bytes[static_cast<size_t>(k)] = *value;
    }
    return bytes;
}

RowTexts decodeRecord(int row, const std::optional<RecordBytes>& bytes,
                      const CalibrationFactors& factors) {
    RowTexts texts = placeholderRow(row);
    if (!bytes)
        return texts;
    const RecordBytes& b = *bytes;

    const quint32 t = static_cast<quint32>(b[0]) | static_cast<quint32>(b[1]) << 8 |
                      static_cast<quint32>(b[2]) << 16 | static_cast<quint32>(b[3]) << 24;
    // Nothing but the time is trusted from a record whose year the calendar cannot show.
    if (!isValidMeterTime(t))
        return texts;

    const unsigned mode = (b[5] >> 4) & 3u;
    const unsigned calculation = (b[7] >> 2) & 3u;
    const unsigned filter = b[8] >> 3;
    const unsigned units = b[7] >> 5;
    const unsigned gainCode = b[8] & 7u;
    const unsigned a = (b[4] | static_cast<unsigned>(b[5]) << 8) & 4095u;
    const unsigned crest = (b[6] | static_cast<unsigned>(b[7]) << 8) & 1023u;

    at(texts, memtable::kTimeCol) = formatMeterTime(t);
    at(texts, memtable::kModeCol) = lookupText(kMeasurementModes, mode);
    at(texts, memtable::kCalcCol) = lookupText(kCalculationModes, calculation);
    at(texts, memtable::kValueCol) = valueText(a, mode, units, gainCode, factors);
    at(texts, memtable::kUnitCol) = lookupText(kUnitNames, units);
    at(texts, memtable::kCrestCol) = formatWithPattern(crest / 100.0, u"0.00");
    at(texts, memtable::kFilterCol) = lookupText(kFilters, filter);
    return texts;
}
