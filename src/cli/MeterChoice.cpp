#include "cli/MeterChoice.h"

#include "link/MeterDiscovery.h"
#include "system/DeviceList.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {

MeterChoice failed(const QString& error) {
    MeterChoice choice;
    choice.error = error;
    return choice;
}

MeterChoice listed(int port) {
    MeterChoice choice;
    choice.comPort = port;
    choice.name = comPortName(port);
    return choice;
}

// The same device whatever link leads to it.
QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

MeterChoice chooseMeter(DeviceList& devices, const QString& port,
                        const std::function<QString(int comPort)>& systemNode) {
    const MeterScan scan = scanMeters(devices);
    if (!scan.ok)
        return failed(QStringLiteral("the devices cannot be listed: ") + scan.error);
    if (port.isEmpty()) {
        if (scan.entries.isEmpty())
            return failed(QStringLiteral("no meter found"));
        if (scan.entries.size() > 1) {
            QStringList names;
            for (const MeterEntry& entry : scan.entries)
                names << comPortName(entry.port);
            return failed(QStringLiteral("several meters found (%1); choose one with --port")
                              .arg(names.join(QStringLiteral(", "))));
        }
        return listed(scan.entries.constFirst().port);
    }

    static const QRegularExpression kCom(QStringLiteral("^COM(\\d+)$"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (const QRegularExpressionMatch match = kCom.match(port); match.hasMatch()) {
        for (const MeterEntry& entry : scan.entries)
            if (QString::number(entry.port) == match.captured(1))
                return listed(entry.port);
        // Where the system names its ports by COM number, the named port is opened as a
        // device node is, meter or not.
        const qint64 number = match.captured(1).toLongLong();
        const QString node = systemNode && number > 0 && number <= 0x7FFF
                                 ? systemNode(static_cast<int>(number))
                                 : QString();
        if (node.isEmpty())
            return failed(QStringLiteral("no meter on %1").arg(port));
        MeterChoice choice;
        choice.node = node;
        choice.name = comPortName(static_cast<int>(number));
        return choice;
    }

    MeterChoice choice;
    choice.node = port;
    choice.name = QFileInfo(port).fileName();
    for (const MeterEntry& entry : scan.entries) {
        if (canonical(devices.deviceNode(entry.port)) == canonical(port)) {
            choice.comPort = entry.port;
            choice.name = comPortName(entry.port);
        }
    }
    return choice;
}
