// The measurement table's columns as the user meets them: their fixed layout, and header
// clicks on a download whose numeric columns order differently as text and as numbers.
#include "Download.h"
#include "MemHeaders.h"
#include "Rig.h"
#include "qt/Grid.h"

#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

constexpr std::array<int, 8> kWidths{720, 2280, 1500, 1500, 1500, 1080, 1200, 1200};

// Slot s holds reading kReadings[s % 5], crest factor kCrests[s % 4] and filter s % 3, in µm at
// gain 1 with K(0) = 1270, so that Q = A·1270·1000/1270 = 1000·A.
struct Key {
    int raw;
    const char* text;
};
constexpr Key kReadings[] = {
    {1000, "1000"}, {5, "5.000"}, {99, "99.00"}, {10, "10.00"}, {4095, "4100"}};
constexpr Key kCrests[] = {{1023, "10.23"}, {140, "1.40"}, {5, "0.05"}, {200, "2.00"}};
const char* const kFilters[] = {"1kHz", "5kHz", "10kHz"};

QByteArray keyedDownload() {
    const auto record = [](int s) {
        const int t = s * 60;
        const int a = kReadings[s % 5].raw;
        const int c = kCrests[s % 4].raw;
        return metersim::MeterRecord{quint8(t & 0xFF),
                                     quint8(t >> 8),
                                     0,
                                     0,
                                     quint8(a & 0xFF),
                                     quint8(a >> 8),
                                     quint8(c & 0xFF),
                                     quint8(c >> 8 | 4 << 5),
                                     quint8((s % 3) << 3)};
    };
    return downloadOf(record, {1770, 500, 500, 500, 500, 500});
}

// The row slot s decodes into.
QStringList rowOfSlot(int s) {
    return {QString::number(s + 1),
            QStringLiteral("2012.01.01 %1:%2:00")
                .arg(s / 60, 2, 10, QChar(u'0'))
                .arg(s % 60, 2, 10, QChar(u'0')),
            "Acceleration",
            "RMS",
            kReadings[s % 5].text,
            QString::fromUtf8("µm"),
            kCrests[s % 4].text,
            kFilters[s % 3]};
}

struct Keyed : Rig {
    Keyed() : Rig({kMeter181}) {
        form->Form_Load();
        form->show();
        port.receive(keyedDownload());
    }
    // A real click on the middle of a column's header.
    void clickHeader(int col) {
        Grid& grid = form->fgMem();
        int x = 0;
        for (int c = 0; c < col; ++c)
            x += kWidths[static_cast<size_t>(c)];
        x += kWidths[static_cast<size_t>(col)] / 2;
        const QPoint p(int(x / grid.twipsPerPixel()), 10);
        QWidget* header = grid.childAt(p);
        ASSERT_NE(header, nullptr);
        QTest::mouseClick(header, Qt::LeftButton, {}, header->mapFrom(&grid, p));
    }
    QStringList column(int c) const {
        QStringList out;
        for (int r = 1; r <= 100; ++r)
            out << form->fgMem().textMatrix(r, c);
        return out;
    }
    // Slots (0 to 99) in the order the rows now show them, each row checked whole.
    std::vector<int> slotOrder() const {
        std::vector<int> order;
        for (int r = 1; r <= 100; ++r) {
            const int s = form->fgMem().textMatrix(r, 0).toInt() - 1;
            QStringList row;
            for (int c = 0; c < 8; ++c)
                row << form->fgMem().textMatrix(r, c);
            EXPECT_EQ(row, rowOfSlot(s)) << "row " << r;
            order.push_back(s);
        }
        return order;
    }
};

// The slots of `before` grouped by their key, groups in the order given, each group keeping
// the order it had in `before`.
std::vector<int> groupedBy(const std::vector<int>& before, const std::vector<int>& keysInOrder,
                           const std::function<int(int)>& keyOf) {
    std::vector<int> out;
    for (const int key : keysInOrder)
        for (const int s : before)
            if (keyOf(s) == key)
                out.push_back(s);
    return out;
}

std::vector<int> slotsInOrder() {
    std::vector<int> order;
    for (int s = 0; s < 100; ++s)
        order.push_back(s);
    return order;
}

QStringList repeated(std::initializer_list<const char*> texts, int count) {
    QStringList out;
    for (const char* text : texts)
        for (int i = 0; i < count; ++i)
            out << QString::fromUtf8(text);
    return out;
}

} // namespace

TEST(Form1Columns, everyColumnHasItsFixedWidthAndCentredCellsAfterLayoutAndAfterClear) {
    Keyed rig;
    const auto expectLayout = [&](const char* when) {
        SCOPED_TRACE(when);
        const Grid& mem = rig.form->fgMem();
        EXPECT_EQ(mem.rowHeight(0), 600);
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(mem.colWidth(c), kWidths[static_cast<size_t>(c)]) << "column " << c;
            EXPECT_EQ(mem.colAlignment(c), 4) << "column " << c;
            EXPECT_EQ(mem.cellAlignment(0, c), 4) << "header " << c;
            EXPECT_EQ(mem.cellAlignment(37, c), 4) << "column " << c;
            EXPECT_EQ(mem.textMatrix(0, c), kMemHeaders[c]);
        }
    };
    expectLayout("after the layout and a download");
    rig.clickHeader(4);
    rig.form->C_Clear_Click();
    expectLayout("after a sort and Clear table");
    EXPECT_EQ(rig.form->fgMem().textMatrix(37, 4), "");
}

TEST(Form1Columns, numericColumnsSortByValueNotByTextInBothDirections) {
    struct Case {
        int col;
        QStringList ascending;
    };
    QStringList slotTexts;
    for (int r = 1; r <= 100; ++r)
        slotTexts << QString::number(r);
    const Case cases[] = {
        {0, slotTexts},
        {4, repeated({"5.000", "10.00", "99.00", "1000", "4100"}, 20)},
        {6, repeated({"0.05", "1.40", "2.00", "10.23"}, 25)},
        {7, repeated({"1kHz"}, 34) + repeated({"5kHz", "10kHz"}, 33)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.col);
        Keyed rig;
        rig.clickHeader(c.col);
        EXPECT_EQ(rig.column(c.col), c.ascending);
        rig.clickHeader(c.col);
        QStringList descending = c.ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(rig.column(c.col), descending);
    }
}

TEST(Form1Columns, rowsWithEqualKeysKeepTheOrderTheSortBeforeLeft) {
    Keyed rig;
    const auto filter = [](int s) { return s % 3; };
    const auto crest = [](int s) { return s % 4; };
    const auto reading = [](int s) { return s % 5; };

    rig.clickHeader(7); // ascending: 1kHz, 5kHz, 10kHz
    const std::vector<int> byFilter = groupedBy(slotsInOrder(), {0, 1, 2}, filter);
    ASSERT_EQ(rig.slotOrder(), byFilter);

    rig.clickHeader(6); // descending: 10.23, 2.00, 1.40, 0.05
    const std::vector<int> byCrest = groupedBy(byFilter, {0, 3, 1, 2}, crest);
    ASSERT_EQ(rig.slotOrder(), byCrest);

    rig.clickHeader(4); // ascending: 5.000, 10.00, 99.00, 1000, 4100
    EXPECT_EQ(rig.slotOrder(), groupedBy(byCrest, {1, 3, 2, 0, 4}, reading));

    rig.clickHeader(5); // every unit is µm: a descending sort moves nothing
    EXPECT_EQ(rig.slotOrder(), groupedBy(byCrest, {1, 3, 2, 0, 4}, reading));
}
