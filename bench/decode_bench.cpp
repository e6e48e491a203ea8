// Cost of decoding one full download (100 records, 800 cells written).
#include "decode/DecodeMemory.h"
#include "grid/GridState.h"

#include <benchmark/benchmark.h>

#include <QString>

namespace {

// A download with varied times, modes, units, gains and filters, so every branch is taken.
GridState makeDownload() {
    GridState slotTable(102, 12);
    quint32 seed = 12345;
    for (int row = 1; row <= 100; ++row) {
        slotTable.setTextMatrix(row, 0, QString::number(row - 1));
        for (int k = 1; k <= 9; ++k) {
            seed = seed * 1103515245u + 12345u;
            slotTable.setTextMatrix(row, k, QString::number(seed >> 24));
        }
        // Keep most times in the calendar's range so the whole row is decoded.
        slotTable.setTextMatrix(row, 4, QString::number(row % 64));
    }
    slotTable.setTextMatrix(101, 10, QStringLiteral("100,03,02,10,03,F4,01,00,00,00,00,00,00,55"));
    return slotTable;
}

void decodeFullDownload(benchmark::State& state) {
    const GridState slotTable = makeDownload();
    GridState memTable(101, 8);
    for (auto _ : state) {
        decodeMemory(slotTable, memTable);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(decodeFullDownload)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
