#pragma once

#include <QStringView>
#include <QtGlobal>

#include <array>
#include <optional>

inline constexpr int kCalibrationFactorCount = 6;

// K(0) to K(5), one per measurement mode (only 0 to 2 are used). A factor is absent when the
// calibration record lacks one of the two fields of its word.
using CalibrationFactors = std::array<std::optional<double>, kCalibrationFactorCount>;

// Value of the leading hexadecimal digits of a field (either case, no prefix): "1A" gives 26,
// "ff" gives 255, a field without a leading digit gives 0. Saturates at 0xFFFFFFFF so an
// overlong field cannot overflow.
quint32 leadingHexValue(QStringView field);

// Factors from the raw slot-100 text: fields split at ",", field 0 ignored, word i from fields
// 2i+1 (low byte) and 2i+2 (high byte), K(i) = word i - 500.
CalibrationFactors parseCalibration(QStringView raw);
