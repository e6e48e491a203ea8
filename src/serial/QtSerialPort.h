#pragma once

#include "system/LineSettings.h"
#include "system/SerialPort.h"

#include <QSerialPort>

#include <functional>

// The serial link over QSerialPort. A COM number becomes a device node through the resolver
// given at construction; the port is opened read-only and never written to. When the device
// goes away the port closes itself and raises comm() and lineLost() once.
class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    // Gives the device node or port name of a COM number, or an empty text when there is
    // no such port.
    using PortResolver = std::function<QString(int comPort)>;

    explicit QtSerialPort(PortResolver resolver, QObject* parent = nullptr);
    ~QtSerialPort() override;

    bool portOpen() const override;
    // Closes the port and discards any bytes not yet read.
    void close() override;
    void setCommPort(int port) override;
    void setSettings(const LineSettings& settings) override;
    // A negative length counts as 0 (all waiting bytes).
    void setInputLen(int length) override;
    // Fails as well when the port is already open; close it first.
    bool open(QString* error) override;
    qint64 inBufferCount() const override;
    QByteArray input() override;

    // The port number and line settings the next opening uses.
    int commPort() const { return m_commPort; }
    LineSettings settings() const { return m_settings; }

private:
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    bool applySettings(const QString& node, QString* error);

    PortResolver m_resolver;
    QSerialPort m_port;
    int m_commPort = 1;
    LineSettings m_settings;
    int m_inputLen = 0;
    // Bytes taken from the port but not yet handed out by input(): the rest of a short read,
    // or what was received before the device went away.
    QByteArray m_held;
    bool m_opening = false;
};
