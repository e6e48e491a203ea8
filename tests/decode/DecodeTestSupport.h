#pragma once

#include "QtPrinters.h"
#include "decode/RecordDecoder.h"
#include "grid/GridState.h"

#include <QStringList>

// A measurement record built from its fields, so tests read as the meter's data model.
struct RecordFields {
    quint32 time = 0;
    unsigned reading = 0; // A, 12 bits
    unsigned mode = 0;    // M, 2 bits
    unsigned crest = 0;   // C, 10 bits
    unsigned calculation = 0;
    unsigned units = 0;    // 3 bits
    unsigned gainCode = 0; // 3 bits
    unsigned filter = 0;   // 5 bits

    RecordBytes bytes() const {
        return {static_cast<quint8>(time),
                static_cast<quint8>(time >> 8),
                static_cast<quint8>(time >> 16),
                static_cast<quint8>(time >> 24),
                static_cast<quint8>(reading),
                static_cast<quint8>(reading >> 8 | mode << 4),
                static_cast<quint8>(crest),
                static_cast<quint8>(crest >> 8 | calculation << 2 | units << 5),
                static_cast<quint8>(gainCode | filter << 3)};
    }
};

inline QStringList toList(const RowTexts& texts) {
    return QStringList(texts.begin(), texts.end());
}

// A slot table as reception leaves it: 102 rows by 12 columns.
inline GridState makeSlotTable() {
    return GridState(102, 12);
}

inline void putRecord(GridState& slotTable, int row, const RecordBytes& bytes) {
    for (int k = 0; k < kRecordBytes; ++k)
        slotTable.setTextMatrix(row, k + 1, QString::number(bytes[static_cast<size_t>(k)]));
}
