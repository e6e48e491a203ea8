#pragma once

#include "export/ExportRows.h"

#include <QDateTime>
#include <QList>
#include <QString>

class CellTable;
class QLocale;

namespace tableexport {

// The save dialog's workbook filter, beside the CSV filter.
inline constexpr char kWorkbookFilter[] = "Excel Workbook (*.xlsx)|*.xlsx";

} // namespace tableexport

// The kinds of file an export writes.
enum class ExportKind { Csv, Workbook };

// The kinds in the order the save dialog offers them; the first is preselected. A spreadsheet
// set to a language that writes decimals with a comma reads the CSV's "0.120" as 120 or as
// text, but reads the workbook right; so where locale writes decimals with a comma the workbook
// comes first, and elsewhere the CSV.
QList<ExportKind> offeredExportKinds(const QLocale& locale);

// The save dialog's filters for kinds, in their order, as "Description|pattern" pairs joined
// by "|".
QString exportDialogFilter(const QList<ExportKind>& kinds);

// True when the export to name is a workbook: the name ends in ".xlsx" in any case, or the
// workbook was the kind chosen in the dialog and the name does not end in ".csv". Every other
// name gets CSV.
bool exportsWorkbook(const QString& name, ExportKind chosen);

// Writes header row 0 and the rows of range of table to name, as a workbook or as CSV (see
// exportsWorkbook), replacing an existing file only once everything is written. On failure
// *error (when given) holds the reason and an existing file is left as it was.
bool writeTableExport(const QString& name, ExportKind chosen, const QDateTime& exportedAt,
                      const CellTable& table, RowRange range, QString* error);
