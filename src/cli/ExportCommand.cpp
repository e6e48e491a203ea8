#include "ExportCommand.h"

#include "DownloadTables.h"
#include "ExitStatus.h"
#include "KeptDownload.h"
#include "CommandOutput.h"
#include "TableExport.h"

int runExport(const QString& out, const QString& file, const QDateTime& exportedAt) {
    QString error;
    const std::optional<KeptDownload> kept = readKeptDownload(file, &error);
    if (!kept) {
        printError(file + QStringLiteral(": ") + error);
        return exitstatus::kNoDownload;
    }
    DownloadTables tables;
    replayKeptDownload(*kept, tables);
    return writeAllRows(out, exportedAt, tables.memTable()) ? exitstatus::kOk
                                                             : exitstatus::kFailed;
}
