#pragma once

#include "export/ExportRows.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class CellTable;

// The cell of a workbook that a table text becomes: a number with its own count of decimals,
// or the text as it stands.
struct WorkbookCell {
    bool isNumber = false;
    double number = 0.0;
    int decimals = 0;
    QString text;
};

// A text that is one number by the numeric sort's rule, and that the table's number pattern
// with its decimals shows exactly as it stands ("10.00", "1,5"), becomes a number; every other
// text ("-", "10kHz", a timestamp, "+5", digits beyond a double's precision) stays text.
WorkbookCell workbookCell(const QString& text);

// The export as an .xlsx workbook: one sheet with "Exported yyyy.MM.dd hh:mm:ss" in A1, the
// header texts on one line in bold in row 2, then one row per exported row. Numbers keep their
// shown decimals as their number format; texts are Unicode; empty texts leave the cell empty.
// Rows 1 and 2 are frozen and the columns are as wide as their texts. Gives no bytes on
// failure, with the reason in *error (when given).
std::optional<QByteArray> workbookBytes(const QDateTime& exportedAt, const QStringList& headerTexts,
                                        const QList<QStringList>& rows, QString* error);

// The same workbook built from a table: header row 0 and the rows of range, columns 0 to 7.
std::optional<QByteArray> tableWorkbookBytes(const QDateTime& exportedAt, const CellTable& table,
                                             RowRange range, QString* error);
