#pragma once

#include "table/MemTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class CellTable;

namespace csvexport {

// Columns written per line, and the rows of the measurement table.
inline constexpr int kColumns = memtable::kCols;
inline constexpr int kFirstDataRow = memtable::kFirstDataRow;
inline constexpr int kLastDataRow = memtable::kLastDataRow;

// The file dialog's filter and the refusal text of an empty selection.
inline constexpr char kDialogFilter[] = "Comma Separated Files (*.csv)|*.csv";
inline constexpr char kNoDataSelected[] = "No data selected";

} // namespace csvexport

// Rows of the measurement table to export, first to last inclusive.
struct RowRange {
    int first = 0;
    int last = 0;

    bool operator==(const RowRange&) const = default;
};

// The text in Windows-1252. Characters the code page lacks become '?', one per character
// (a surrogate pair counts as one).
QByteArray toWindows1252(const QString& text);

// The first field of every export: "Exported yyyy.MM.dd hh:mm:ss" (24-hour clock).
QString exportedText(const QDateTime& exportedAt);

// Header texts as every export writes them: cut or filled to eight, every carriage return
// replaced by a blank.
QStringList exportHeader(const QStringList& headerTexts);

// Columns 0 to 7 of one row of a table, as they stand.
QStringList exportRow(const CellTable& table, int row);

// The whole export file: "Exported yyyy.MM.dd hh:mm:ss,,,,,," (24-hour clock), the header
// texts with every carriage return replaced by a blank, then one line per row; fields joined
// by "," without quoting, every line ended by CR LF, Windows-1252, no byte-order mark. Header
// and rows are cut or filled with empty fields to eight fields.
QByteArray csvBytes(const QDateTime& exportedAt, const QStringList& headerTexts,
                    const QList<QStringList>& rows);

// The same file built from a table: header row 0 and the rows of range, columns 0 to 7.
QByteArray tableCsvBytes(const QDateTime& exportedAt, const CellTable& table, RowRange range);

// The rows an export button writes: index 0 all data rows (1 to 100); otherwise the selection
// from the smaller to the larger of the current row and the selection-end row. A selection
// that reaches up to the header row but ends on a data row starts at row 1, so the header is
// never written as data. {0, 0} (first + last == 0) means that nothing is selected.
RowRange exportRange(int index, int row, int rowSel);

// Writes bytes to the file name, replacing an existing file only once everything is written:
// on failure the old file is left as it was and *error (when given) holds the system's reason.
// The exception is a writable file in a folder that refuses new files: it is written in place,
// and a failure part-way leaves it cut short.
bool writeFileReplacing(const QString& name, const QByteArray& bytes, QString* error);
