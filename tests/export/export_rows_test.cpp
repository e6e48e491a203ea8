#include "export/ExportRows.h"

#include <gtest/gtest.h>

namespace {

TEST(ExportRange, buttonsGiveTheirRows) {
    EXPECT_EQ(exportRange(0, 0, 0), (RowRange{1, 100}));
    EXPECT_EQ(exportRange(0, 7, 3), (RowRange{1, 100}));
    EXPECT_EQ(exportRange(1, 4, 9), (RowRange{4, 9}));
    EXPECT_EQ(exportRange(1, 9, 4), (RowRange{4, 9}));
    EXPECT_EQ(exportRange(1, 17, 17), (RowRange{17, 17}));
    EXPECT_EQ(exportRange(1, 100, 1), (RowRange{1, 100}));
}

TEST(ExportRange, headerRowIsNeverExportedAsData) {
    EXPECT_EQ(exportRange(1, 0, 5), (RowRange{1, 5}));
    EXPECT_EQ(exportRange(1, 5, 0), (RowRange{1, 5}));
    const RowRange nothing = exportRange(1, 0, 0);
    EXPECT_EQ(nothing.first + nothing.last, 0);
}

} // namespace
