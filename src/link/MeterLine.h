#pragma once

#include "system/LineSettings.h"

// The meter's serial line: 9600 baud, no parity, 8 data bits, 1 stop bit.
inline constexpr LineSettings kMeterLine{9600, LineSettings::Parity::None, 8,
                                         LineSettings::StopBits::One};
