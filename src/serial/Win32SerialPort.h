#pragma once

#include "system/LineSettings.h"
#include "system/SerialPort.h"

#include <QWinEventNotifier>

#include <functional>
#include <memory>

// The serial link over the Windows communications calls. A COM number becomes a port name
// ("COM7" or "\\.\COM7") through the resolver given at construction. One overlapped read is
// always in flight while the port is open; it ends after a pause of 20 ms in the received text,
// or after 250 ms, and its event wakes the window's thread, so no thread of our own is needed.
// Nothing is ever written to the port. A read that fails for any reason but its timeout, or a
// device that no longer answers, closes the port and raises comm() and lineLost() once.
class Win32SerialPort : public SerialPort {
    Q_OBJECT
public:
    using PortResolver = std::function<QString(int comPort)>;

    explicit Win32SerialPort(PortResolver resolver, QObject* parent = nullptr);
    ~Win32SerialPort() override;

    bool portOpen() const override;
    // Closes the port and discards any bytes not yet read.
    void close() override;
    void setCommPort(int port) override;
    void setSettings(const LineSettings& settings) override;
    // A negative length counts as 0 (all waiting bytes).
    void setInputLen(int length) override;
    // Fails as well when the port is already open. A port another program holds gives
    // "In use by another program: COM7": Windows does not tell which program.
    bool open(QString* error) override;
    qint64 inBufferCount() const override;
    QByteArray input() override;

private:
    // The handle, its event and the read in flight; Windows types stay out of this header.
    struct Line;

    void startRead();
    void onReadEnded();
    // Cancels the read in flight and closes the handle; received bytes are kept.
    void shut();

    PortResolver m_resolver;
    std::unique_ptr<Line> m_line;
    QWinEventNotifier m_readEnded;
    int m_commPort = 1;
    LineSettings m_settings;
    int m_inputLen = 0;
    // Received and not yet handed out by input().
    QByteArray m_received;
};
