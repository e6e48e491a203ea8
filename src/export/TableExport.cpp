#include "export/TableExport.h"

#include "export/CsvExport.h"
#include "export/SafeWrite.h"
#include "export/WorkbookExport.h"

#include <QLocale>
#include <QStringList>

QList<ExportKind> offeredExportKinds(const QLocale& locale) {
    if (locale.decimalPoint() == u",")
        return {ExportKind::Workbook, ExportKind::Csv};
    return {ExportKind::Csv, ExportKind::Workbook};
}

QString exportDialogFilter(const QList<ExportKind>& kinds) {
    QStringList filters;
    for (const ExportKind kind : kinds)
        filters << QString::fromLatin1(kind == ExportKind::Workbook ? tableexport::kWorkbookFilter
                                                                    : csvexport::kDialogFilter);
    return filters.join(u'|');
}

bool exportsWorkbook(const QString& name, ExportKind chosen) {
    if (name.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        return true;
    // A typed ".csv" wins over the filter: a workbook under that name opens as garbage.
    if (name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        return false;
    return chosen == ExportKind::Workbook;
}

bool writeTableExport(const QString& name, ExportKind chosen, const QDateTime& exportedAt,
                      const CellTable& table, RowRange range, QString* error) {
    const ExportRows rows = exportRows(table, range);
    if (!exportsWorkbook(name, chosen))
        return writeFileReplacing(name, csvBytes(exportedAt, rows.header, rows.rows), error);
    const std::optional<QByteArray> bytes =
        workbookBytes(exportedAt, rows.header, rows.rows, error);
    return bytes && writeFileReplacing(name, *bytes, error);
}
