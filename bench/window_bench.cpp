// Costs of the window's work on one event: a serial notification carrying one packet, the
// decoding of a whole download into the measurement table, one cell write, one sort of its
// 100 rows and one export of them. The window is built as the program builds it, around fakes for
// the outside.
#include "MeterMemory.h"
#include "Rig.h"
#include "app/Form1.h"
#include "export/CsvExport.h"
#include "export/TableExport.h"
#include "qt/Grid.h"
#include "table/MemTable.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

namespace {

constexpr int kCalibrationSlot = 100;
constexpr int kTimestampColumn = 1;

// A window that has received one whole download, so both tables are full.
struct Window : Rig {
    QList<QByteArray> packets;

    Window() : Rig({kMeter181}) {
        form->Form_Load();
        const QByteArray download = metersim::downloadText(metersim::makeMeterMemory(417));
        packets = download.split('/');
        packets.removeLast();
        for (const QByteArray& packet : packets)
            port.receive(packet + '/');
    }
};

void oneNotification(benchmark::State& state) {
    Window w;
    int slot = 0;
    for (auto _ : state) {
        // Records only: the calibration packet would start the decoding measured below.
        w.port.receive(w.packets.at(slot) + '/');
        slot = (slot + 1) % kCalibrationSlot;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(oneNotification)->Unit(benchmark::kMicrosecond);

void decodeMemoryIntoWindow(benchmark::State& state) {
    Window w;
    for (auto _ : state)
        w.form->DecodeMemory();
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(decodeMemoryIntoWindow)->Unit(benchmark::kMicrosecond);

// One cell text written into the shown measurement table, as the decoder writes 800 of them;
// a model reset or relayout per write would show here.
void cellWriteIntoShownTable(benchmark::State& state) {
    Window w;
    w.form->show();
    Grid& table = w.form->fgMem();
    const QStringList texts{QStringLiteral("1.230"), QStringLiteral("45.60")};
    int i = 0;
    for (auto _ : state) {
        // Every pass over the 800 cells writes the other text, so no write is a no-op.
        table.setTextMatrix(1 + i / 8 % 100, i % 8, texts[i / 800 % 2]);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(cellWriteIntoShownTable)->Unit(benchmark::kMicrosecond);

// Each sort finds the rows in the order the previous one left, as on repeated header clicks.
void sortHundredRows(benchmark::State& state) {
    Window w;
    Grid& table = w.form->fgMem();
    const int column = static_cast<int>(state.range(0));
    bool ascending = false;
    for (auto _ : state) {
        table.setCol(column);
        table.sort(memtable::sortCode(column, ascending));
        ascending = !ascending;
    }
}
BENCHMARK(sortHundredRows)->Arg(0)->Arg(kTimestampColumn)->Arg(4)->Unit(benchmark::kMicrosecond);

void exportHundredRowsBytes(benchmark::State& state) {
    Window w;
    const QDateTime at = w.clock.now();
    for (auto _ : state)
        benchmark::DoNotOptimize(tableCsvBytes(at, w.form->fgMem().state(), RowRange{1, 100}));
}
BENCHMARK(exportHundredRowsBytes)->Unit(benchmark::kMicrosecond);

// The export command less its dialog: the bytes and the safe replacement of the file, for
// the kind the name asks for (a workbook goes through the library's own scratch file first).
void exportHundredRows(benchmark::State& state, const char* fileName) {
    Window w;
    QTemporaryDir dir;
    const QString name = dir.filePath(QString::fromLatin1(fileName));
    const QDateTime at = w.clock.now();
    for (auto _ : state) {
        QString error;
        if (!writeTableExport(name, ExportKind::Csv, at, w.form->fgMem().state(), RowRange{1, 100},
                              &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
    }
}
BENCHMARK_CAPTURE(exportHundredRows, ToFile, "export.csv")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(exportHundredRows, ToWorkbook, "export.xlsx")->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
