#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DeviceList;

// The meter's model, as the connection list and the window's title name it.
inline constexpr char kMeterModel[] = "QT570R";

// One meter for the connection list: its text and the port number kept as item data.
struct MeterEntry {
    QString text; // "QT570R (COM<n>)"
    qint32 port = 0;

    bool operator==(const MeterEntry&) const = default;
};

// The outcome of a scan. On an error the scan stopped at the device that caused it: entries
// holds what was found before, ok is false and error describes the cause (the window shows
// "Scanports " followed by it).
struct MeterScan {
    QList<MeterEntry> entries;
    QString error;
    bool ok = true;
};

// Picks the meters out of device display names, in the order given. A name is a meter when it
// contains the adapter name exactly (case-sensitive); its port is the leading decimal number
// after the first "(COM" (0 when there is none). A meter name without "(COM", or with a port
// number beyond 32 bits, ends the scan with an error.
MeterScan scanMeterNames(const QStringList& names);

// Lists the devices and scans their names. A device list that cannot be read gives ok false
// with the list's own description of the failure.
MeterScan scanMeters(DeviceList& devices);
