#pragma once

#include "system/SerialPort.h"

#include <QString>

#include <functional>
#include <memory>

// The platform's serial line, as the programs' main() functions create it: over Qt SerialPort
// on Unix, over the system's communications calls on Windows. Each twin defines it beside its
// class.

// A closed serial line that opens what resolver gives for the COM number set on it: the device
// node or port name, or an empty text when there is no such port.
std::unique_ptr<SerialPort> makeSystemSerialPort(std::function<QString(int comPort)> resolver);
