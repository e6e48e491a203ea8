#pragma once

#include <QString>
#include <QStringList>

#include <array>

class GridState;

// Shape, layout and sort rules of the measurement table.
namespace memtable {

inline constexpr int kRows = 101; // header row + 100 data rows
// The columns in their order.
enum Column : int {
    kSlotCol,
    kTimeCol,
    kModeCol,
    kCalcCol,
    kValueCol,
    kUnitCol,
    kCrestCol,
    kFilterCol
};
inline constexpr int kCols = kFilterCol + 1;
// Row r holds the measurement of slot r - 1.
inline constexpr int kFirstDataRow = 1;
inline constexpr int kLastDataRow = kRows - 1;
inline constexpr int kHeaderHeight = 600; // twips, room for two lines
inline constexpr int kWidthMargin = 240;  // twips added to every base width
inline constexpr std::array<int, kCols> kBaseWidths{480, 2040, 1260, 1260, 1260, 840, 960, 960};

// The eight header texts; two-line headers hold one carriage return.
QStringList headerTexts();

// Applies the header row height, the column widths and alignments and the header texts,
// leaving the current cell at row 0, column 7. Writes no data row.
void setupMemTable(GridState& grid);

// A header text on one line: every carriage return replaced by a blank.
QString oneLineHeader(const QString& header);

// The grid's ascending sort code for a column (3 numeric, 5 text ignoring case,
// 7 text case-sensitive); 0 for a column outside the table.
int ascendingSortCode(int col);

// The code for the next header click: ascending unless the last click sorted ascending.
int sortCode(int col, bool lastSortAscending);

// The state-line hint over the header row, naming the direction the next click sorts in.
QString sortHint(bool lastSortAscending);

} // namespace memtable
