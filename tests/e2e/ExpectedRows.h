#pragma once

// The rows a simulator download must give, as written down once in tests/e2e/data: the
// expected texts come from there, never from the reader's own decoder.

#include "qt/Grid.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

namespace e2e {

// Packets of slots 0 to 100 as the simulator sends them for one seed, and the eight texts of
// rows 1 to 100 they decode into.
struct ExpectedDownload {
    QStringList packets;
    std::vector<QStringList> rows;
};

inline ExpectedDownload expectedDownload(quint32 seed) {
    ExpectedDownload expected;
    QFile file(QStringLiteral(PX417_E2E_DATA_DIR "/meter-seed-%1.tsv").arg(seed));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return expected;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        QStringList fields = line.split(u'\t');
        expected.packets << fields.takeFirst();
        if (!fields.isEmpty())
            expected.rows.push_back(fields);
    }
    return expected;
}

// True when the slot table holds the seed's packets and the measurement table shows their
// written-down rows, in slot order.
inline testing::AssertionResult showsExpectedRows(const Grid& slotTable, const Grid& mem,
                                                  quint32 seed) {
    const ExpectedDownload expected = expectedDownload(seed);
    if (expected.packets.size() != 101 || expected.rows.size() != 100)
        return testing::AssertionFailure() << "no expected rows for seed " << seed;
    for (int slot = 0; slot <= 100; ++slot)
        if (slotTable.textMatrix(slot + 1, 10) != expected.packets[slot])
            return testing::AssertionFailure()
                   << "slot " << slot << " arrived as "
                   << slotTable.textMatrix(slot + 1, 10).toStdString() << ", the rows are for "
                   << expected.packets[slot].toStdString();
    for (int slot = 0; slot < 100; ++slot) {
        const QStringList& row = expected.rows[static_cast<size_t>(slot)];
        for (int c = 0; c < 8; ++c)
            if (mem.textMatrix(slot + 1, c) != row.value(c))
                return testing::AssertionFailure() << "slot " << slot << " column " << c << ": "
                                                   << mem.textMatrix(slot + 1, c).toStdString()
                                                   << " instead of " << row.value(c).toStdString();
    }
    return testing::AssertionSuccess();
}

} // namespace e2e
