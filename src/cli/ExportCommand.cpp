#include "cli/ExportCommand.h"

#include "cli/CommandOutput.h"
#include "cli/ExitStatus.h"
#include "export/TableExport.h"
#include "store/DownloadTables.h"
#include "store/KeptDownload.h"

int runExport(const QString& out, const QString& file, const QDateTime& exportedAt) {
    QString error;
    const std::optional<KeptDownload> kept = readKeptDownload(file, &error);
    if (!kept) {
        printError(file + QStringLiteral(": ") + error);
        return exitstatus::kNoDownload;
    }
    DownloadTables tables;
    replayKeptDownload(*kept, tables);
    return writeAllRows(out, exportedAt, tables.memTable()) ? exitstatus::kOk : exitstatus::kFailed;
}
