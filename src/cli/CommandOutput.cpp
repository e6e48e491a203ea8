#include "cli/CommandOutput.h"

#include "export/ExportRows.h"
#include "export/TableExport.h"

#include <QCoreApplication>

#include <cstdio>

void printError(const QString& text) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(text));
    std::fflush(stderr);
}

bool writeAllRows(const QString& out, const QDateTime& exportedAt, const CellTable& memTable) {
    // The name alone decides, as a name typed in the window's dialog with the CSV filter.
    QString error;
    if (writeTableExport(out, ExportKind::Csv, exportedAt, memTable, exportRange(0, 0, 0), &error))
        return true;
    printError(out + QStringLiteral(": ") + error);
    return false;
}
