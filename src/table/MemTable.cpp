#include "table/MemTable.h"

#include "grid/GridSort.h"
#include "grid/GridState.h"

namespace memtable {

QStringList headerTexts() {
    const QString cr(QChar(13));
    return {"Slot#",
            "Timestamp",
            "Measurement" + cr + "Mode",
            "Calculation" + cr + "Mode",
            "Measurement" + cr + "Value",
            "Units",
            "Crest" + cr + "Factor",
            "Filter"};
}

void setupMemTable(GridState& grid) {
    const QStringList headers = headerTexts();
    grid.setRowHeight(0, kHeaderHeight);
    for (int c = 0; c < kCols; ++c) {
        grid.setColWidth(c, kBaseWidths[static_cast<size_t>(c)] + kWidthMargin);
        grid.setColAlignment(c, GridState::kAlignCenterCenter);
        grid.setRow(0);
        grid.setCol(c);
        grid.setText(headers[c]);
        grid.setCellAlignment(GridState::kAlignCenterCenter);
    }
}

QString oneLineHeader(const QString& header) {
    return QString(header).replace(QChar(13), QChar(' '));
}

int ascendingSortCode(int col) {
    using namespace gridsort;
    static constexpr std::array<int, kCols> kAscending{
        kNumericAscending, kTextCaseAscending,   kTextNoCaseAscending, kTextNoCaseAscending,
        kNumericAscending, kTextNoCaseAscending, kNumericAscending,    kNumericAscending};
    return col >= 0 && col < kCols ? kAscending[static_cast<size_t>(col)] : 0;
}

int sortCode(int col, bool lastSortAscending) {
    const int ascending = ascendingSortCode(col);
    if (ascending == 0 || !lastSortAscending)
        return ascending;
    return gridsort::descendingCode(ascending);
}

QString sortHint(bool lastSortAscending) {
    return QStringLiteral("Sort ") +
           (lastSortAscending ? QStringLiteral("descending") : QStringLiteral("ascending")) +
           QStringLiteral(" by");
}

} // namespace memtable
