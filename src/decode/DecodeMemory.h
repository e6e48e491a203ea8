#pragma once

#include "decode/ValueFormat.h"
#include "grid/CellTable.h"

#include <QString>

// Decodes a complete download: reads the byte columns 1 to 9 of rows 1 to 100 and the raw
// calibration text (row 101, column 10) of slotTable, and writes columns 0 to 7 of rows 1 to
// 100 of memTable in slot order. Touches no other cell.
void decodeMemory(const CellTable& slotTable, CellTable& memTable);
