#pragma once

#include "table/MemTable.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class CellTable;

// What every export writes, whatever its format: the rows chosen, as texts.

namespace exportrows {
// The refusal text of an empty selection.
inline constexpr char kNoDataSelected[] = "No data selected";
} // namespace exportrows

// Rows of the measurement table to export, first to last inclusive.
struct RowRange {
    int first = 0;
    int last = 0;

    bool operator==(const RowRange&) const = default;
};

// The rows an export button writes: index 0 all data rows (1 to 100); otherwise the selection
// from the smaller to the larger of the current row and the selection-end row. A selection
// that reaches up to the header row but ends on a data row starts at row 1, so the header is
// never written as data. {0, 0} (first + last == 0) means that nothing is selected.
RowRange exportRange(int index, int row, int rowSel);

// The header row and the rows of a range, columns 0 to 7 as they stand.
struct ExportRows {
    QStringList header;
    QList<QStringList> rows;
};
ExportRows exportRows(const CellTable& table, RowRange range);

// Columns 0 to 7 of one row of a table, as they stand.
QStringList exportRow(const CellTable& table, int row);

// The first field of every export: "Exported yyyy.MM.dd hh:mm:ss" (24-hour clock).
QString exportedText(const QDateTime& exportedAt);

// Header texts as every export writes them: cut or filled to eight, every carriage return
// replaced by a blank.
QStringList exportHeader(const QStringList& headerTexts);

// fields cut or filled with empty texts to the table's eight columns.
QStringList eightFields(QStringList fields);
