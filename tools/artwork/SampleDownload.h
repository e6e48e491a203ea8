#pragma once

#include <QByteArray>

// The text a meter sends for one believable working week of measurements: slots 0 to 99 in
// time order and the calibration record in slot 100, every packet ended by "/". Always the same.
QByteArray sampleDownload();

// The first part of sampleDownload(): the packets of slots 0 to lastSlot.
QByteArray sampleDownloadUpTo(int lastSlot);

// The whole download with the packet of one slot lost on the way.
QByteArray sampleDownloadWithout(int lostSlot);
