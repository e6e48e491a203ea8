#include "serial/SystemDeviceList.h"

#include <QSet>

#include <windows.h>
// Defines the device class's GUID here rather than needing a library for it.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

// The Windows twin: the Ports device class as SetupAPI describes it, then the ports only the
// registry's SERIALCOMM map names. COM numbers are Windows' own.

namespace {

QString fromWide(const wchar_t* text) {
    return QString::fromWCharArray(text);
}

// A text property of a device; empty when it has none.
QString deviceText(HDEVINFO set, SP_DEVINFO_DATA* device, DWORD property) {
    wchar_t text[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, device, property, nullptr,
                                           reinterpret_cast<BYTE*>(text), sizeof text - 2, nullptr))
        return {};
    return fromWide(text);
}

// The "PortName" value of the device's own registry key: "COM7", or "LPT1" for a printer port
// of the same class.
QString devicePortName(HDEVINFO set, SP_DEVINFO_DATA* device) {
    const HKEY key =
        SetupDiOpenDevRegKey(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (key == INVALID_HANDLE_VALUE)
        return {};
    wchar_t name[256] = {};
    DWORD size = sizeof name - 2;
    DWORD type = 0;
    const LSTATUS status =
        RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? fromWide(name) : QString();
}

void appendSetupPorts(QList<portnaming::SerialPortFacts>* ports) {
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &device); ++index) {
        const QString portName = devicePortName(set, &device);
        if (!portName.startsWith(QLatin1String("COM")))
            continue;
        portnaming::SerialPortFacts port;
        port.portName = portName;
        port.systemLocation = QStringLiteral("\\\\.\\") + portName;
        QString name = deviceText(set, &device, SPDRP_FRIENDLYNAME);
        if (name.isEmpty())
            name = deviceText(set, &device, SPDRP_DEVICEDESC);
        port.description = portnaming::withoutOwnPort(name, portName);
        wchar_t instanceId[512] = {};
        if (SetupDiGetDeviceInstanceIdW(set, &device, instanceId, 511, nullptr))
            portnaming::readInstanceIds(QStringView(fromWide(instanceId)), &port);
        ports->append(port);
    }
    SetupDiDestroyDeviceInfoList(set);
}

// Every port the serial drivers announce, by port name; without a description or ids.
QStringList serialCommPorts() {
    QStringList names;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256] = {};
        DWORD valueSize = 255;
        wchar_t data[256] = {};
        DWORD dataSize = sizeof data - 2;
        DWORD type = 0;
        const LSTATUS status = RegEnumValueW(key, index, valueName, &valueSize, nullptr, &type,
                                             reinterpret_cast<BYTE*>(data), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS && type == REG_SZ)
            names.append(fromWide(data));
    }
    RegCloseKey(key);
    return names;
}

} // namespace

QList<portnaming::SerialPortFacts> SystemDeviceList::systemSerialPorts() {
    QList<portnaming::SerialPortFacts> ports;
    appendSetupPorts(&ports);
    QSet<QString> described;
    for (const portnaming::SerialPortFacts& port : ports)
        described.insert(port.portName.toUpper());
    for (const QString& name : serialCommPorts()) {
        if (described.contains(name.toUpper()))
            continue;
        described.insert(name.toUpper());
        portnaming::SerialPortFacts port;
        port.portName = name;
        port.systemLocation = QStringLiteral("\\\\.\\") + name;
        ports.append(port);
    }
    return ports;
}

QString SystemDeviceList::systemPortNode(int comPort) {
    return QStringLiteral("\\\\.\\COM%1").arg(comPort);
}
