#pragma once

#include "PortNaming.h"

#include <QList>
#include <QString>

#include <optional>

// The serial ports a Linux kernel lists under /sys/class/tty, read from sysfs alone.
//
// Reading the attributes directly costs well under a millisecond, where the toolkit's
// enumeration, which goes through the device manager's database for every terminal of the
// system and opens every legacy UART, took about 9 ms of the reader's start-up.
namespace sysfsports {

inline constexpr const char* kClassTty = "/sys/class/tty";

// The ports below classTty (the kernel's /sys/class/tty), by name: every terminal with a
// hardware device behind it, and rfcomm terminals. Virtual consoles and pseudo terminals
// have no device and are left out, and so are legacy UART slots whose hardware is absent
// (type 0). USB ports carry the USB device's product string and ids. Nothing when classTty
// cannot be read.
std::optional<QList<portnaming::SerialPortFacts>> serialPorts(const QString& classTty = kClassTty);

} // namespace sysfsports
