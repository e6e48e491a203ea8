#pragma once

#include <QString>

// The name a meter on COM181 has in the system's device list and in the ports folder.
inline const QString kMeter181 = QStringLiteral("Arduino USB Serial Light Adapter (COM181)");
