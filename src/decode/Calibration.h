#pragma once

#include "link/SlotTable.h"

#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>

// K(0) to K(5), one per measurement mode (only 0 to 2 are used). A factor is absent when the
// calibration record lacks one of the two fields of its word.
using CalibrationFactors = std::array<std::optional<double>, kCalibrationWords>;

// Factors from the raw slot-100 text: fields split at ",", field 0 ignored, word i from fields
// 2i+1 (low byte) and 2i+2 (high byte), each read with leadingHex, K(i) = word i - 500.
CalibrationFactors parseCalibration(QStringView raw);
