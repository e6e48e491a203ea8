#pragma once

// How serial ports are named and numbered: the rules that the device list and meter discovery
// share.

#include "text/NumberText.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace portnaming {

// The device name the meter's USB interface carries.
inline constexpr QStringView kAdapterName = u"Arduino USB Serial Light Adapter";
// USB ids of that interface, for systems whose own description does not carry the name.
inline constexpr quint16 kAdapterVendorId = 0x2341;
inline constexpr quint16 kAdapterProductIds[] = {0x003B, 0x0045};

// COM numbers derived from Unix device nodes. Each known family has its own range of 1000;
// every other node is hashed into kHashedFirst..kHashedLast, above all fixed ranges and
// within 16 bits.
inline constexpr int kTtySFirst = 1;
inline constexpr int kTtyUsbFirst = 1000;
inline constexpr int kTtyAcmFirst = 2000;
inline constexpr int kFamilySize = 999;
inline constexpr int kHashedFirst = 10000;
inline constexpr int kHashedLast = 32767;

// What the system tells about one serial port.
struct SerialPortFacts {
    QString portName;       // "ttyUSB0", "COM3"
    QString systemLocation; // "/dev/ttyUSB0", "\\\\.\\COM3"
    QString description;
    bool hasVendorProduct = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
};

// Digits at the start of text as a number, or nothing when there are none or the number does
// not fit in 32 signed bits.
inline std::optional<qint64> leadingPortNumber(QStringView text) {
    const std::optional<qint64> value = leadingDigits(text);
    if (!value || *value > 0x7FFFFFFF)
        return std::nullopt;
    return value;
}

// Result of reading the COM number out of a device display name.
struct NamedPort {
    bool hasComMarker = false; // the name holds "(COM"
    bool fits = true;          // the number fits a 32-bit integer
    qint32 port = 0;           // 0 when the text after "(COM" does not start with digits
};

// The port number of a display name: the leading decimal digits of the text after the first
// "(COM".
inline NamedPort portInName(QStringView name) {
    NamedPort result;
    const qsizetype at = name.indexOf(u"(COM");
    if (at < 0)
        return result;
    result.hasComMarker = true;
    const QStringView rest = name.mid(at + 4);
    qsizetype digits = 0;
    const std::optional<qint64> number = leadingDigits(rest, &digits);
    if (digits == 0)
        return result;
    if (*number > 0x7FFFFFFF) {
        result.fits = false;
        return result;
    }
    result.port = static_cast<qint32>(*number);
    return result;
}

// A stable (unseeded) hash of a node name, the same in every run.
inline quint32 stableHash(QStringView text) {
    quint32 hash = 2166136261u; // FNV-1a
    for (QChar c : text) {
        hash ^= c.unicode();
        hash *= 16777619u;
    }
    return hash;
}

// The COM number of a port from its system name: "COM<n>" gives n (1..32767); Unix nodes ttyS<k>,
// ttyUSB<k> and ttyACM<k> give 1 + k, 1000 + k and 2000 + k (k up to 998); every other node,
// directory part ignored, a stable hash in kHashedFirst..kHashedLast. Always 1..32767.
inline int comNumberForPort(const QString& portName) {
    QStringView name(portName);
    const qsizetype slash = name.lastIndexOf(u'/');
    if (slash >= 0)
        name = name.mid(slash + 1);

    const auto family = [name](QStringView prefix, int first) -> std::optional<int> {
        if (!name.startsWith(prefix) || name.size() == prefix.size())
            return std::nullopt;
        const QStringView tail = name.mid(prefix.size());
        const std::optional<qint64> k = leadingPortNumber(tail);
        if (!k || QString::number(*k).size() != tail.size() || *k >= kFamilySize)
            return std::nullopt;
        return first + static_cast<int>(*k);
    };
    if (name.startsWith(u"COM") && name.size() > 3) {
        const QStringView tail = name.mid(3);
        const std::optional<qint64> n = leadingPortNumber(tail);
        if (n && *n > 0 && *n <= kHashedLast && QString::number(*n).size() == tail.size())
            return static_cast<int>(*n);
    }
    if (const auto n = family(u"ttyS", kTtySFirst))
        return *n;
    if (const auto n = family(u"ttyUSB", kTtyUsbFirst))
        return *n;
    if (const auto n = family(u"ttyACM", kTtyAcmFirst))
        return *n;
    return kHashedFirst + static_cast<int>(stableHash(name) % (kHashedLast - kHashedFirst + 1));
}

// True when the USB ids are those of the meter's interface.
inline bool isAdapterIds(const SerialPortFacts& port) {
    if (!port.hasVendorProduct || port.vendorId != kAdapterVendorId)
        return false;
    for (quint16 product : kAdapterProductIds) {
        if (port.productId == product)
            return true;
    }
    return false;
}

// The display name "<description> (COM<n>)". A port that has the interface's USB ids but a
// system description without its name is given that name; a port without any description
// shows its system name.
inline QString displayName(const SerialPortFacts& port, int comNumber) {
    QString description = port.description;
    if (!description.contains(kAdapterName) && isAdapterIds(port))
        description = kAdapterName.toString();
    if (description.isEmpty())
        description = port.portName;
    return description + QStringLiteral(" (COM") + QString::number(comNumber) + u')';
}

// The USB ids a Windows device instance id carries ("USB\\VID_2341&PID_0043\\7583...",
// "FTDIBUS\\VID_0403+PID_6001+A50285BI\\0000"): "VID_" and "PID_", in any case, each followed by
// exactly four hexadecimal digits. Sets them in *port and returns true when both are there;
// leaves *port as it was otherwise.
inline bool readInstanceIds(QStringView instanceId, SerialPortFacts* port) {
    const auto hexValue = [](QChar c) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            return u - u'0';
        if ((u | 0x20) >= u'a' && (u | 0x20) <= u'f')
            return (u | 0x20) - u'a' + 10;
        return -1;
    };
    const auto idAfter = [&](QStringView tag) -> std::optional<quint16> {
        const qsizetype at = instanceId.indexOf(tag, 0, Qt::CaseInsensitive);
        if (at < 0 || (at > 0 && instanceId.at(at - 1).isLetterOrNumber()))
            return std::nullopt;
        const QStringView rest = instanceId.mid(at + tag.size());
        if (rest.size() < 4 || (rest.size() > 4 && hexValue(rest.at(4)) >= 0))
            return std::nullopt;
        int id = 0;
        for (QChar c : rest.first(4)) {
            if (hexValue(c) < 0)
                return std::nullopt;
            id = id * 16 + hexValue(c);
        }
        return static_cast<quint16>(id);
    };
    const std::optional<quint16> vendor = idAfter(u"VID_");
    const std::optional<quint16> product = idAfter(u"PID_");
    if (!vendor || !product)
        return false;
    port->hasVendorProduct = true;
    port->vendorId = *vendor;
    port->productId = *product;
    return true;
}

// A Windows friendly name without the port it names: "Arduino USB Serial Light Adapter (COM7)"
// on COM7 gives "Arduino USB Serial Light Adapter", so that the display name carries the port
// once. A name that names another port, or none, is kept whole.
inline QString withoutOwnPort(QString friendlyName, const QString& portName) {
    const QString own = QStringLiteral(" (") + portName + u')';
    const qsizetype at = friendlyName.indexOf(own);
    if (at >= 0)
        friendlyName.remove(at, own.size());
    return friendlyName;
}

} // namespace portnaming
