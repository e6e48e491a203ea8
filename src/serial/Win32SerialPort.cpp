#include "serial/Win32SerialPort.h"

#include "serial/HeldInput.h"
#include "serial/SystemSerialPort.h"

#include <utility>

#include <windows.h>

namespace {

// A read ends after this pause in the received text, or this long after it began.
constexpr DWORD kReadPauseMs = 20;
constexpr DWORD kReadLimitMs = 250;
constexpr DWORD kReadSize = 4096;

BYTE toDcb(LineSettings::Parity parity) {
    switch (parity) {
    case LineSettings::Parity::Even:
        return EVENPARITY;
    case LineSettings::Parity::Odd:
        return ODDPARITY;
    case LineSettings::Parity::Mark:
        return MARKPARITY;
    case LineSettings::Parity::Space:
        return SPACEPARITY;
    case LineSettings::Parity::None:
        break;
    }
    return NOPARITY;
}

BYTE toDcb(LineSettings::StopBits stopBits) {
    switch (stopBits) {
    case LineSettings::StopBits::OneAndHalf:
        return ONE5STOPBITS;
    case LineSettings::StopBits::Two:
        return TWOSTOPBITS;
    case LineSettings::StopBits::One:
        break;
    }
    return ONESTOPBIT;
}

// The system's text for an error, as one line without its closing full stop, so that the
// port can follow it after a colon.
QString systemMessage(DWORD code) {
    QString text = qt_error_string(static_cast<int>(code)).trimmed();
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

bool applySettings(HANDLE handle, const LineSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = static_cast<DWORD>(settings.baudRate);
    dcb.ByteSize = static_cast<BYTE>(settings.dataBits);
    dcb.Parity = toDcb(settings.parity);
    dcb.StopBits = toDcb(settings.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = settings.parity != LineSettings::Parity::None;
    // No flow control, and the control lines raised as a Unix terminal raises them on open.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    // Otherwise a framing error would stop every later read until it is cleared.
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(handle, &dcb))
        return false;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = kReadPauseMs;
    timeouts.ReadTotalTimeoutConstant = kReadLimitMs;
    return SetCommTimeouts(handle, &timeouts);
}

} // namespace

struct Win32SerialPort::Line {
    HANDLE handle = INVALID_HANDLE_VALUE;
    // Manual-reset, signalled when the read in flight ends; lives as long as the port object.
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED overlapped{};
    bool reading = false;
    // The error of a read that failed before it was in flight; its event is set by hand.
    DWORD failedAtOnce = ERROR_SUCCESS;
    char buffer[kReadSize];

    ~Line() {
        if (event)
            CloseHandle(event);
    }
};

Win32SerialPort::Win32SerialPort(PortResolver resolver, QObject* parent)
    : SerialPort(parent), m_resolver(std::move(resolver)), m_line(std::make_unique<Line>()) {
    m_readEnded.setHandle(m_line->event);
    m_readEnded.setEnabled(false);
    connect(&m_readEnded, &QWinEventNotifier::activated, this, &Win32SerialPort::onReadEnded);
}

Win32SerialPort::~Win32SerialPort() {
    // Quietly: no notification may reach a receiver that is being torn down with us.
    m_readEnded.disconnect(this);
    shut();
}

bool Win32SerialPort::portOpen() const {
    return m_line->handle != INVALID_HANDLE_VALUE;
}

void Win32SerialPort::close() {
    shut();
    m_received.clear();
}

void Win32SerialPort::setCommPort(int port) {
    m_commPort = port;
}

void Win32SerialPort::setSettings(const LineSettings& settings) {
    m_settings = settings;
}

void Win32SerialPort::setInputLen(int length) {
    m_inputLen = qMax(0, length);
}

bool Win32SerialPort::open(QString* error) {
    const QString node = m_resolver ? m_resolver(m_commPort) : QString();
    // Shown as the user knows it: "COM7", without the device namespace.
    QString name = node;
    if (name.startsWith(QLatin1String("\\\\.\\")))
        name.remove(0, 4);
    if (portOpen()) {
        setError(error, QStringLiteral("Port already open: %1").arg(name));
        return false;
    }
    if (node.isEmpty()) {
        setError(error, QStringLiteral("No such device: COM%1").arg(m_commPort));
        return false;
    }

    // The device namespace reaches every port, COM10 and above included. Opened both ways, as
    // drivers expect of a port whose settings are changed; nothing is ever written.
    const QString path = QStringLiteral("\\\\.\\") + name;
    const HANDLE handle =
        CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                    nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        // A port is opened by one program at a time; Windows does not tell which one holds it
        // (Wine reports the holder as a sharing violation).
        const QString reason = code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION
                                   ? QStringLiteral("In use by another program")
                                   : systemMessage(code);
        setError(error, reason + QStringLiteral(": ") + name);
        return false;
    }
    if (!applySettings(handle, m_settings)) {
        const DWORD code = GetLastError();
        CloseHandle(handle);
        setError(error, QStringLiteral("%1: %2 (line settings cannot be applied)")
                            .arg(systemMessage(code), name));
        return false;
    }
    m_received.clear();
    m_line->handle = handle;
    startRead();
    return true;
}

qint64 Win32SerialPort::inBufferCount() const {
    return m_received.size();
}

QByteArray Win32SerialPort::input() {
    return heldinput::take(&m_received, m_inputLen);
}

void Win32SerialPort::startRead() {
    Line& line = *m_line;
    line.overlapped = {};
    line.overlapped.hEvent = line.event;
    line.failedAtOnce = ERROR_SUCCESS;
    line.reading = true;
    ResetEvent(line.event);
    if (!ReadFile(line.handle, line.buffer, kReadSize, nullptr, &line.overlapped)) {
        const DWORD code = GetLastError();
        if (code != ERROR_IO_PENDING) {
            // Handled as any ended read, from the event loop.
            line.failedAtOnce = code;
            SetEvent(line.event);
        }
    }
    m_readEnded.setEnabled(true);
}

void Win32SerialPort::onReadEnded() {
    Line& line = *m_line;
    if (!line.reading)
        return;
    DWORD received = 0;
    DWORD code = line.failedAtOnce;
    if (code == ERROR_SUCCESS &&
        !GetOverlappedResult(line.handle, &line.overlapped, &received, FALSE)) {
        code = GetLastError();
        // A wake-up left over from an earlier read; this one is still in flight.
        if (code == ERROR_IO_INCOMPLETE)
            return;
    }
    line.reading = false;
    m_readEnded.setEnabled(false);

    if (code == ERROR_SUCCESS && received > 0) {
        m_received.append(line.buffer, static_cast<qsizetype>(received));
        startRead();
        emit comm();
        return;
    }
    // Nothing yet: Windows ends a timed-out read with no bytes, Wine fails it with a timeout.
    // A device that went away may also end reads empty, but then its state cannot be asked.
    DWORD errors = 0;
    COMSTAT status{};
    if (code == ERROR_TIMEOUT ||
        (code == ERROR_SUCCESS && ClearCommError(line.handle, &errors, &status))) {
        startRead();
        return;
    }
    // Broken pipe, access denied, device removed, an aborted read we did not ask for: the
    // line is lost. What arrived before stays for the next input().
    shut();
    emit comm();
    emit lineLost();
}

void Win32SerialPort::shut() {
    Line& line = *m_line;
    m_readEnded.setEnabled(false);
    if (line.handle == INVALID_HANDLE_VALUE)
        return;
    if (line.reading && line.failedAtOnce == ERROR_SUCCESS) {
        // The buffer and the OVERLAPPED are in use until the cancelled read has ended.
        DWORD received = 0;
        CancelIoEx(line.handle, &line.overlapped);
        if (GetOverlappedResult(line.handle, &line.overlapped, &received, TRUE))
            m_received.append(line.buffer, static_cast<qsizetype>(received));
    }
    line.reading = false;
    CloseHandle(line.handle);
    line.handle = INVALID_HANDLE_VALUE;
    ResetEvent(line.event);
}

std::unique_ptr<SerialPort> makeSystemSerialPort(std::function<QString(int comPort)> resolver) {
    return std::make_unique<Win32SerialPort>(std::move(resolver));
}
