// Arbitrary slot-table texts through the record and calibration decoder.
//
// Input: cell texts separated by "\n", filling the byte cells of rows 1 to 100 (columns 1 to
// 9, row by row) and then the raw calibration text (row 101, column 10). Cells without a line
// stay empty. Lines are read as UTF-8, so invalid sequences become replacement characters.

#include "FuzzCheck.h"
#include "decode/DecodeMemory.h"
#include "grid/GridState.h"

#include <QRegularExpression>
#include <QSet>

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kSlotRows = 102;
constexpr int kSlotCols = 12;
constexpr int kMemRows = 101;
constexpr int kMemCols = 8;
constexpr int kCalibrationRow = 101;
constexpr int kRawColumn = 10;

// The measurement table: refuses writes outside the data cells and records which were written.
class CheckingTable : public GridState {
public:
    CheckingTable() : GridState(kMemRows, kMemCols) {
        for (int row = 0; row < kMemRows; ++row)
            for (int col = 0; col < kMemCols; ++col)
                GridState::setTextMatrix(row, col, QStringLiteral("untouched"));
    }
    void setTextMatrix(int row, int col, const QString& text) override {
        FUZZ_CHECK(row >= 1 && row <= 100);
        FUZZ_CHECK(col >= 0 && col < kMemCols);
        FUZZ_CHECK(!m_written.contains(row * kMemCols + col));
        m_written.insert(row * kMemCols + col);
        GridState::setTextMatrix(row, col, text);
    }
    QSet<int> m_written;
};

void checkRow(const CheckingTable& mem, int row) {
    static const QRegularExpression timestamp(
        QStringLiteral("^(20[1-9]\\d\\.(0[1-9]|1[0-2])\\.(0[1-9]|[12]\\d|3[01]) "
                       "([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d|---\\.--\\.-- --:--:--)$"));
    // Three significant digits and a final zero, or whole tens for large values.
    static const QRegularExpression value(QStringLiteral("^(-|-?\\d+(\\.\\d{1,3})?)$"));
    static const QRegularExpression crest(QStringLiteral("^(-|\\d{1,2}\\.\\d\\d)$"));
    static const QSet<QString> modes{"-", "Acceleration", "Velocity", "Displacement"};
    static const QSet<QString> calculations{"-", "RMS", "pk-pk", "0-pk", "B"};
    static const QSet<QString> units{"-",       "m/s\u00B2", "g",       "mm/s",   "in/s",
                                     "\u00B5m", "mils",      "\u00B0C", "\u00B0F"};
    static const QSet<QString> filters{"-", "1kHz", "5kHz", "10kHz"};

    for (int col = 0; col < kMemCols; ++col)
        FUZZ_CHECK(mem.m_written.contains(row * kMemCols + col));
    FUZZ_CHECK(mem.textMatrix(row, 0) == QString::number(row));
    FUZZ_CHECK(timestamp.match(mem.textMatrix(row, 1)).hasMatch());
    FUZZ_CHECK(modes.contains(mem.textMatrix(row, 2)));
    FUZZ_CHECK(calculations.contains(mem.textMatrix(row, 3)));
    FUZZ_CHECK(value.match(mem.textMatrix(row, 4)).hasMatch());
    FUZZ_CHECK(units.contains(mem.textMatrix(row, 5)));
    FUZZ_CHECK(crest.match(mem.textMatrix(row, 6)).hasMatch());
    FUZZ_CHECK(filters.contains(mem.textMatrix(row, 7)));
    // No mode, no value: a number there would be made up.
    if (mem.textMatrix(row, 2) == u"-")
        FUZZ_CHECK(mem.textMatrix(row, 4) == u"-");
    // A placeholder timestamp leaves nothing decoded.
    if (mem.textMatrix(row, 1).startsWith(u'-'))
        for (int col = 2; col < kMemCols; ++col)
            FUZZ_CHECK(mem.textMatrix(row, col) == u"-");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QList<QByteArray> lines = input.split('\n');

    GridState slotTable(kSlotRows, kSlotCols);
    qsizetype next = 0;
    for (int row = 1; row <= 100 && next < lines.size(); ++row)
        for (int col = 1; col <= 9 && next < lines.size(); ++col)
            slotTable.setTextMatrix(row, col, QString::fromUtf8(lines.at(next++)));
    if (next < lines.size())
        slotTable.setTextMatrix(kCalibrationRow, kRawColumn, QString::fromUtf8(lines.at(next++)));

    CheckingTable mem;
    decodeMemory(slotTable, mem);

    FUZZ_CHECK(mem.m_written.size() == 100 * kMemCols);
    for (int col = 0; col < kMemCols; ++col)
        FUZZ_CHECK(mem.textMatrix(0, col) == u"untouched");
    for (int row = 1; row <= 100; ++row)
        checkRow(mem, row);
    return 0;
}
