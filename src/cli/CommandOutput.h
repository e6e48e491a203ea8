#pragma once

#include <QDateTime>
#include <QString>

class CellTable;

// "px417: <text>" on standard error.
void printError(const QString& text);

// Writes the data rows of a measurement table to out as "Export Data (all)" does: a workbook
// for a name ending in ".xlsx", CSV otherwise. A failure is reported on standard error.
bool writeAllRows(const QString& out, const QDateTime& exportedAt, const CellTable& memTable);
