#pragma once

#include <QStringList>

// The measurement table's header texts as the user reads them, a line break inside two words.
inline const QStringList kMemHeaders{"Slot#",
                                     "Timestamp",
                                     "Measurement\rMode",
                                     "Calculation\rMode",
                                     "Measurement\rValue",
                                     "Units",
                                     "Crest\rFactor",
                                     "Filter"};
