#include "DecodeTestSupport.h"
#include "decode/DecodeMemory.h"

#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

using Cell = std::pair<int, int>;

// Records every cell read, to prove the decoder stays within its input cells.
class ReadSpyTable : public GridState {
public:
    using GridState::GridState;
    QString textMatrix(int row, int col) const override {
        m_reads.insert({row, col});
        return GridState::textMatrix(row, col);
    }
    mutable std::set<Cell> m_reads;
};

// Records every write in order.
class WriteSpyTable : public GridState {
public:
    using GridState::GridState;
    void setTextMatrix(int row, int col, const QString& text) override {
        m_writes.push_back({row, col});
        GridState::setTextMatrix(row, col, text);
    }
    std::vector<Cell> m_writes;
};

QString sentinel(int row, int col) {
    return QStringLiteral("keep %1,%2").arg(row).arg(col);
}

void fillSentinels(CellTable& table) {
    for (int r = 0; r < table.rows(); ++r)
        for (int c = 0; c < table.cols(); ++c)
            table.setTextMatrix(r, c, sentinel(r, c));
}

// A full download: slot s holds time count s * 60 and reading s, calibration K(0) = 15.
void fillDownload(GridState& slotTable) {
    for (int row = 1; row <= 100; ++row) {
        slotTable.setTextMatrix(row, 0, QString::number(row - 1));
        putRecord(slotTable, row,
                  RecordFields{.time = static_cast<quint32>(row - 1) * 60,
                               .reading = static_cast<unsigned>(row - 1) * 40,
                               .units = 4}
                      .bytes());
        slotTable.setTextMatrix(row, 10, QStringLiteral("junk"));
    }
    slotTable.setTextMatrix(101, 10, QStringLiteral("100,03,02,00,00,00,00,00,00,00,00,00,00"));
}

TEST(DecodeMemory, fillsDataRowsInSlotOrder) {
    GridState slotTable = makeSlotTable();
    fillDownload(slotTable);
    GridState mem(101, 8);
    decodeMemory(slotTable, mem);

    EXPECT_EQ(mem.textMatrix(1, 0), "1");
    EXPECT_EQ(mem.textMatrix(1, 1), "2012.01.01 00:00:00");
    EXPECT_EQ(mem.textMatrix(100, 0), "100");
    EXPECT_EQ(mem.textMatrix(100, 1), "2012.01.01 01:39:00");
    EXPECT_EQ(mem.textMatrix(100, 2), "Acceleration");
    // Q = 3960 * 15 * 1000 / 1270 = 46771.65 -> 46772, three significant digits
    EXPECT_EQ(mem.textMatrix(100, 4), "46.80");
    // Q = 40 * 15 * 1000 / 1270 = 472.4 -> 472
    EXPECT_EQ(mem.textMatrix(2, 4), "0.470");
}

TEST(DecodeMemory, touchesNoCellOutsideTheDataBlock) {
    ReadSpyTable slotTable(102, 12);
    fillDownload(slotTable);
    WriteSpyTable mem(103, 10);
    fillSentinels(mem);
    mem.m_writes.clear();
    decodeMemory(slotTable, mem);

    std::vector<Cell> expectedWrites;
    for (int r = 1; r <= 100; ++r)
        for (int c = 0; c <= 7; ++c)
            expectedWrites.push_back({r, c});
    EXPECT_EQ(mem.m_writes, expectedWrites);
    for (int r = 0; r < mem.rows(); ++r)
        for (int c = 0; c < mem.cols(); ++c)
            if (r < 1 || r > 100 || c > 7) {
                EXPECT_EQ(mem.textMatrix(r, c), sentinel(r, c));
            }

    for (const auto& [r, c] : slotTable.m_reads)
        EXPECT_TRUE((r >= 1 && r <= 100 && c >= 1 && c <= 9) || (r == 101 && c == 10))
            << r << "," << c;
}

TEST(DecodeMemory, overwritesPreviousRowsWhateverTheirOrder) {
    GridState slotTable = makeSlotTable();
    fillDownload(slotTable);
    GridState fresh(101, 8);
    decodeMemory(slotTable, fresh);

    GridState sorted(101, 8);
    for (int r = 1; r <= 100; ++r)
        for (int c = 0; c < 8; ++c)
            sorted.setTextMatrix(r, c, fresh.textMatrix(101 - r, c));
    decodeMemory(slotTable, sorted);
    for (int r = 1; r <= 100; ++r)
        for (int c = 0; c < 8; ++c)
            ASSERT_EQ(sorted.textMatrix(r, c), fresh.textMatrix(r, c)) << r << "," << c;
}

TEST(DecodeMemory, survivesTablesOfAnyShape) {
    GridState noSlots(0, 0);
    GridState mem(101, 8);
    decodeMemory(noSlots, mem);
    EXPECT_EQ(mem.textMatrix(50, 0), "50");
    EXPECT_EQ(mem.textMatrix(50, 1), "---.--.-- --:--:--");
    EXPECT_EQ(mem.textMatrix(50, 4), "-");

    GridState slotTable = makeSlotTable();
    fillDownload(slotTable);
    GridState tiny(3, 2);
    decodeMemory(slotTable, tiny);
    EXPECT_EQ(tiny.textMatrix(2, 1), "2012.01.01 00:01:00");
}

TEST(DecodeMemory, badByteCellBlanksOnlyItsRow) {
    GridState slotTable = makeSlotTable();
    fillDownload(slotTable);
    slotTable.setTextMatrix(5, 4, QString());
    GridState mem(101, 8);
    decodeMemory(slotTable, mem);
    EXPECT_EQ(mem.textMatrix(5, 1), "---.--.-- --:--:--");
    EXPECT_EQ(mem.textMatrix(5, 2), "-");
    EXPECT_EQ(mem.textMatrix(6, 2), "Acceleration");
}

TEST(DecodeMemory, shortCalibrationBlanksValuesOfUncalibratedModes) {
    GridState slotTable = makeSlotTable();
    fillDownload(slotTable);
    putRecord(slotTable, 2, RecordFields{.reading = 127, .mode = 1, .units = 4}.bytes());
    slotTable.setTextMatrix(101, 10, QStringLiteral("100,03,02"));
    GridState mem(101, 8);
    decodeMemory(slotTable, mem);
    EXPECT_EQ(mem.textMatrix(2, 2), "Velocity");
    EXPECT_EQ(mem.textMatrix(2, 4), "-");
    EXPECT_EQ(mem.textMatrix(3, 4), "0.950");
}

TEST(DecodeMemory, decimalPointIgnoresGermanLocale) {
    GridState slotTable = makeSlotTable();
    fillDownload(slotTable);
    putRecord(slotTable, 1, RecordBytes{54, 32, 0, 0, 173, 10, 140, 32, 0});
    GridState mem(101, 8);
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    decodeMemory(slotTable, mem);
    QLocale::setDefault(previous);
    EXPECT_EQ(mem.textMatrix(1, 4), "1.000");
    EXPECT_EQ(mem.textMatrix(1, 6), "1.40");
    EXPECT_EQ(mem.textMatrix(100, 4), "46.80");
}

TEST(DecodeMemory, arbitraryCellTextsKeepEveryRowWellFormed) {
    const QStringList pieces{"",
                             "0",
                             "255",
                             "256",
                             "-1",
                             "ff",
                             "FFFFFFFFFFFFFFFF",
                             ",",
                             ",,",
                             "99999999999999999999",
                             "1e3",
                             " ",
                             QString(QChar(0xFFFF)),
                             "3"};
    std::mt19937 random(417);
    auto randomText = [&] {
        QString text;
        const int count = static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i)
            text += pieces[static_cast<int>(random() % pieces.size())];
        return text;
    };
    const QRegularExpression number(QStringLiteral("^-?[0-9]+(\\.[0-9]{1,3})?$"));
    for (int round = 0; round < 20; ++round) {
        GridState slotTable = makeSlotTable();
        // Byte cells are mostly real bytes so that most rows go all the way through decoding.
        for (int r = 0; r < slotTable.rows(); ++r)
            for (int c = 0; c < slotTable.cols(); ++c)
                slotTable.setTextMatrix(r, c,
                                        c >= 1 && c <= 9 && random() % 20 != 0
                                            ? QString::number(random() % 256)
                                            : randomText());
        GridState mem(101, 8);
        decodeMemory(slotTable, mem);
        for (int r = 1; r <= 100; ++r) {
            ASSERT_EQ(mem.textMatrix(r, 0), QString::number(r));
            const QString time = mem.textMatrix(r, 1);
            ASSERT_TRUE(time == "---.--.-- --:--:--" || time.size() == 19) << r;
            const QString value = mem.textMatrix(r, 4);
            ASSERT_TRUE(value == "-" || number.match(value).hasMatch()) << value.toStdString();
        }
    }
}

} // namespace
