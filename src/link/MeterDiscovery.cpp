#include "link/MeterDiscovery.h"

#include "system/DeviceList.h"
#include "system/PortNaming.h"

MeterScan scanMeterNames(const QStringList& names) {
    MeterScan scan;
    for (const QString& name : names) {
        if (!name.contains(portnaming::kAdapterName))
            continue;
        const portnaming::NamedPort named = portnaming::portInName(name);
        if (!named.hasComMarker) {
            scan.ok = false;
            scan.error = QStringLiteral("Device name without \"(COM\": %1").arg(name);
            return scan;
        }
        if (!named.fits) {
            scan.ok = false;
            scan.error = QStringLiteral("Port number out of range: %1").arg(name);
            return scan;
        }
        scan.entries.append({QString::fromLatin1(kMeterModel) + QStringLiteral(" (COM") +
                                 QString::number(named.port) + u')',
                             named.port});
    }
    return scan;
}

MeterScan scanMeters(DeviceList& devices) {
    QStringList names;
    QString error;
    if (!devices.deviceNames(&names, &error)) {
        MeterScan failed;
        failed.ok = false;
        failed.error = error.isEmpty() ? QStringLiteral("Devices cannot be listed") : error;
        return failed;
    }
    return scanMeterNames(names);
}
