#include "export/TableExport.h"

#include "export/CsvExport.h"
#include "export/SafeWrite.h"
#include "export/WorkbookExport.h"

QString exportDialogFilter() {
    return QString::fromLatin1(csvexport::kDialogFilter) + u'|' +
           QString::fromLatin1(tableexport::kWorkbookFilter);
}

bool exportsWorkbook(const QString& name, int filterIndex) {
    if (name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return true;
    // A typed ".csv" wins over the filter: a workbook under that name opens as garbage.
    if (name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return false;
    return filterIndex == tableexport::kWorkbookFilterIndex;
}

bool writeTableExport(const QString& name, int filterIndex, const QDateTime& exportedAt,
                      const CellTable& table, RowRange range, QString* error) {
    const ExportRows rows = exportRows(table, range);
    if (!exportsWorkbook(name, filterIndex))
        return writeFileReplacing(name, csvBytes(exportedAt, rows.header, rows.rows), error);
    const std::optional<QByteArray> bytes =
        workbookBytes(exportedAt, rows.header, rows.rows, error);
    return bytes && writeFileReplacing(name, *bytes, error);
}
