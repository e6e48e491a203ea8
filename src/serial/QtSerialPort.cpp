#include "serial/QtSerialPort.h"

#include "serial/HeldInput.h"
#include "serial/PortAccess.h"
#include "serial/SystemSerialPort.h"

#include <utility>

namespace {

QSerialPort::Parity toQt(LineSettings::Parity parity) {
    switch (parity) {
    case LineSettings::Parity::Even:
        return QSerialPort::EvenParity;
    case LineSettings::Parity::Odd:
        return QSerialPort::OddParity;
    case LineSettings::Parity::Mark:
        return QSerialPort::MarkParity;
    case LineSettings::Parity::Space:
        return QSerialPort::SpaceParity;
    case LineSettings::Parity::None:
        break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQt(LineSettings::StopBits stopBits) {
    switch (stopBits) {
    case LineSettings::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case LineSettings::StopBits::Two:
        return QSerialPort::TwoStop;
    case LineSettings::StopBits::One:
        break;
    }
    return QSerialPort::OneStop;
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

QtSerialPort::QtSerialPort(PortResolver resolver, QObject* parent)
    : SerialPort(parent), m_resolver(std::move(resolver)) {
    connect(&m_port, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
}

QtSerialPort::~QtSerialPort() {
    // Quietly: no notification may reach a receiver that is being torn down with us.
    m_port.disconnect(this);
    m_port.close();
}

bool QtSerialPort::portOpen() const {
    return m_port.isOpen();
}

void QtSerialPort::close() {
    m_held.clear();
    if (m_port.isOpen())
        m_port.close();
}

void QtSerialPort::setCommPort(int port) {
    m_commPort = port;
}

void QtSerialPort::setSettings(const LineSettings& settings) {
    m_settings = settings;
}

void QtSerialPort::setInputLen(int length) {
    m_inputLen = qMax(0, length);
}

bool QtSerialPort::open(QString* error) {
    if (m_port.isOpen()) {
        setError(error, QStringLiteral("Port already open: %1").arg(m_port.portName()));
        return false;
    }
    const QString node = m_resolver ? m_resolver(m_commPort) : QString();
    if (node.isEmpty()) {
        setError(error, QStringLiteral("No such device: COM%1").arg(m_commPort));
        return false;
    }

    m_held.clear();
    m_port.setPortName(node);
    // Errors raised while opening are reported through the result, not as notifications.
    m_opening = true;
    const bool opened = m_port.open(QIODevice::ReadOnly);
    const QSerialPort::SerialPortError openError = m_port.error();
    const QString reason = m_port.errorString();
    const bool ready = opened && applySettings(node, error);
    m_opening = false;

    if (!opened) {
        // A lock held by a running program is reported as a permission error; name the
        // program instead, since no group or replugging helps there.
        const QString holder =
            openError == QSerialPort::PermissionError ? portaccess::inUseBy(node) : QString();
        QString text = (holder.isEmpty() ? reason : holder) + QStringLiteral(": ") + node;
        if (openError == QSerialPort::PermissionError && holder.isEmpty()) {
            const QString fix = portaccess::groupFix(node);
            if (!fix.isEmpty())
                text += QChar(13) + fix;
        }
        setError(error, text);
        return false;
    }
    if (!ready) {
        m_port.close();
        return false;
    }
    m_port.clearError();
    return true;
}

bool QtSerialPort::applySettings(const QString& node, QString* error) {
    const bool applied =
        m_port.setBaudRate(m_settings.baudRate) &&
        m_port.setDataBits(static_cast<QSerialPort::DataBits>(m_settings.dataBits)) &&
        m_port.setParity(toQt(m_settings.parity)) &&
        m_port.setStopBits(toQt(m_settings.stopBits)) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        setError(error, QStringLiteral("%1: %2 (line settings cannot be applied)")
                            .arg(m_port.errorString(), node));
    }
    return applied;
}

qint64 QtSerialPort::inBufferCount() const {
    return m_held.size() + (m_port.isOpen() ? m_port.bytesAvailable() : 0);
}

QByteArray QtSerialPort::input() {
    if (m_port.isOpen())
        m_held += m_port.readAll();
    return heldinput::take(&m_held, m_inputLen);
}

void QtSerialPort::onReadyRead() {
    emit comm();
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || m_opening)
        return;
    // A device that went away shows as a resource error, or as a read error when the line
    // was hung up (a read that finds the end of input). Either repeats for as long as the
    // descriptor stays open, so the port is closed; what was already received is kept for
    // the next read.
    const bool deviceLost = error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
    if (deviceLost && m_port.isOpen()) {
        m_held += m_port.readAll();
        m_port.close();
        emit comm();
        emit lineLost();
        return;
    }
    emit comm();
}

std::unique_ptr<SerialPort> makeSystemSerialPort(std::function<QString(int comPort)> resolver) {
    return std::make_unique<QtSerialPort>(std::move(resolver));
}
