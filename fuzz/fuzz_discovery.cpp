// Arbitrary device names, one per line (read as UTF-8), through the meter discovery rules and
// the port naming of the device list.

#include "FuzzCheck.h"
#include "link/MeterDiscovery.h"
#include "system/PortNaming.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList names = text.split(u'\n');

    const MeterScan scan = scanMeterNames(names);
    qsizetype meters = 0;
    for (const QString& name : names)
        meters += name.contains(portnaming::kAdapterName) ? 1 : 0;
    if (scan.ok) {
        FUZZ_CHECK(scan.entries.size() == meters);
        FUZZ_CHECK(scan.error.isEmpty());
    } else {
        // The scan stops at the first meter name it cannot read.
        FUZZ_CHECK(scan.entries.size() < meters);
        FUZZ_CHECK(!scan.error.isEmpty());
    }
    for (const MeterEntry& entry : scan.entries) {
        FUZZ_CHECK(entry.port >= 0);
        FUZZ_CHECK(entry.text ==
                   QStringLiteral("QT570R (COM") + QString::number(entry.port) + u')');
    }

    for (const QString& name : names) {
        const int com = portnaming::comNumberForPort(name);
        FUZZ_CHECK(com >= 1 && com <= 32767);
        portnaming::SerialPortFacts facts;
        facts.portName = name;
        facts.description = name;
        // A listed name must read back as the number it was listed under. (A description
        // that itself holds "(COM" is read by its own number: the first marker counts.)
        if (!name.contains(u"(COM")) {
            const portnaming::NamedPort named =
                portnaming::portInName(portnaming::displayName(facts, com));
            FUZZ_CHECK(named.hasComMarker && named.fits && named.port == com);
        }
    }
    return 0;
}
