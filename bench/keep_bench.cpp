// What keeping adds between the last byte of a download and the filled table: the file of the
// download's packets, written whole through a temporary file and renamed into place, on the
// file system of the temporary folder (the user's disk here, not a RAM disk).
#include "MeterMemory.h"
#include "store/DownloadStore.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

void keepOneDownload(benchmark::State& state) {
    QTemporaryDir dir;
    const DownloadStore store(dir.filePath(QStringLiteral("downloads")));
    QList<QByteArray> packets = metersim::downloadText(metersim::makeMeterMemory(417)).split('/');
    packets.removeLast();
    QDateTime at(QDate(2026, 12, 9), QTime(14, 3, 27));
    QString error;
    for (auto _ : state) {
        // A second apart, as downloads are, so that no name has to be tried twice.
        at = at.addSecs(1);
        if (store.keep(packets, at, QStringLiteral("COM181"), &error).isEmpty()) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}
BENCHMARK(keepOneDownload)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
