#pragma once

#include "export/ExportRows.h"

#include <QDateTime>
#include <QString>

class CellTable;

namespace tableexport {

// The save dialog's second filter, after the CSV filter; its number among the filters.
inline constexpr char kWorkbookFilter[] = "Excel Workbook (*.xlsx)|*.xlsx";
inline constexpr int kWorkbookFilterIndex = 1;

} // namespace tableexport

// The save dialog's filters: the CSV filter first, as the default, then the workbook filter,
// as "Description|pattern" pairs joined by "|".
QString exportDialogFilter();

// True when the export to name is a workbook: the name ends in ".xlsx" in any case, or the
// workbook filter was chosen (filterIndex as the dialog reports it) and the name does not end
// in ".csv". Every other name gets CSV.
bool exportsWorkbook(const QString& name, int filterIndex);

// Writes header row 0 and the rows of range of table to name, as a workbook or as CSV (see
// exportsWorkbook), replacing an existing file only once everything is written. On failure
// *error (when given) holds the reason and an existing file is left as it was.
bool writeTableExport(const QString& name, int filterIndex, const QDateTime& exportedAt,
                      const CellTable& table, RowRange range, QString* error);
