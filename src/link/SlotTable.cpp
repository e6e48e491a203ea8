#include "link/SlotTable.h"

#include "grid/GridState.h"

const QVariantList& slotTableLayout() {
    static const QVariantList layout{600,  600,  600,  600,  600,     600,  600,   600,
                                     600,  600,  3000, 2000, "Slot#", "B0", "B1",  "B2",
                                     "B3", "B4", "B5", "B6", "B7",    "B8", "Raw", "Received"};
    return layout;
}

void layoutSlotTable(GridState& grid) {
    const QVariantList& layout = slotTableLayout();
    for (int i = 0; i < kSlotTableCols; ++i) {
        grid.setColWidth(i, layout.at(i).toInt());
        grid.setColAlignment(i, GridState::kAlignCenterCenter);
        grid.setRow(0);
        grid.setCol(i);
        grid.setCellAlignment(GridState::kAlignCenterCenter);
        grid.setText(layout.at(i + kSlotTableCols).toString());
    }
}
