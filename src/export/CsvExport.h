#pragma once

#include "export/ExportRows.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class CellTable;

namespace csvexport {

// The file dialog's filter.
inline constexpr char kDialogFilter[] = "Comma Separated Files (*.csv)|*.csv";

} // namespace csvexport

// The text in Windows-1252. Characters the code page lacks become '?', one per character
// (a surrogate pair counts as one).
QByteArray toWindows1252(const QString& text);

// The whole export file: "Exported yyyy.MM.dd hh:mm:ss,,,,,," (24-hour clock), the header
// texts with every carriage return replaced by a blank, then one line per row; fields joined
// by "," without quoting, every line ended by CR LF, Windows-1252, no byte-order mark. Header
// and rows are cut or filled with empty fields to eight fields.
QByteArray csvBytes(const QDateTime& exportedAt, const QStringList& headerTexts,
                    const QList<QStringList>& rows);

// The same file built from a table: header row 0 and the rows of range, columns 0 to 7.
QByteArray tableCsvBytes(const QDateTime& exportedAt, const CellTable& table, RowRange range);
