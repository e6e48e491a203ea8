#pragma once

#include "system/LineSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial link of the window: a port chosen by number, opened with line settings,
// read whole on every notification. Nothing is ever written to it.
class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // True while the port is open.
    virtual bool portOpen() const = 0;
    // Closes the port; closing a closed port does nothing.
    virtual void close() = 0;
    // The port number the next opening uses.
    virtual void setCommPort(int port) = 0;
    // Baud rate, parity, data and stop bits the next opening uses.
    virtual void setSettings(const LineSettings& settings) = 0;
    // Characters a read returns; 0 means all waiting characters.
    virtual void setInputLen(int length) = 0;
    // Opens the port with the number and settings set before. Returns false when the port
    // does not exist, is in use or cannot be opened, with the system's reason and the device
    // in *error ("Permission denied: /dev/ttyACM0"); where joining a group would give access,
    // a second line after a carriage return tells how. A port another program holds names
    // it: "In use by another program: px417 (process 1234): /dev/ttyACM0".
    virtual bool open(QString* error) = 0;
    // Number of received bytes waiting.
    virtual qint64 inBufferCount() const = 0;
    // Returns the waiting bytes (all of them for input length 0) and removes them.
    virtual QByteArray input() = 0;

signals:
    // Raised on the window's thread when received bytes are waiting, and on port events.
    void comm();
    // Raised once when the open port's device went away or hung up, after the comm() that
    // hands out what it sent last; the port is closed by then.
    void lineLost();
};
