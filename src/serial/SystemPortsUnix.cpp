#include "serial/SystemDeviceList.h"

#include <QSerialPortInfo>

// The Unix twin: the toolkit lists the ports; COM numbers are this program's own.

QList<portnaming::SerialPortFacts> SystemDeviceList::systemSerialPorts() {
    QList<portnaming::SerialPortFacts> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        portnaming::SerialPortFacts port;
        port.portName = info.portName();
        port.systemLocation = info.systemLocation();
        port.description = info.description();
        port.hasVendorProduct = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

QString SystemDeviceList::systemPortNode(int comPort) {
    Q_UNUSED(comPort);
    return {};
}
