#pragma once

#include "system/Clock.h"
#include "system/DeviceList.h"
#include "system/Dialogs.h"
#include "system/ProgramControl.h"
#include "system/SerialPort.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <functional>

// A serial port the test feeds by hand. Every call is logged so order can be checked.
class FakeSerialPort : public SerialPort {
public:
    bool portOpen() const override { return m_open; }
    void close() override {
        log << QStringLiteral("close");
        m_open = false;
    }
    void setCommPort(int port) override {
        log << QStringLiteral("port %1").arg(port);
        m_port = port;
    }
    void setSettings(const LineSettings& settings) override {
        static constexpr char kParity[] = {'N', 'E', 'O', 'M', 'S'};
        static const char* const kStop[] = {"1", "1.5", "2"};
        log << QStringLiteral("settings %1,%2,%3,%4")
                   .arg(settings.baudRate)
                   .arg(QLatin1Char(kParity[static_cast<int>(settings.parity)]))
                   .arg(settings.dataBits)
                   .arg(QLatin1String(kStop[static_cast<int>(settings.stopBits)]));
    }
    void setInputLen(int length) override { log << QStringLiteral("inputlen %1").arg(length); }
    bool open(QString* error) override {
        log << QStringLiteral("open %1").arg(m_port);
        if (missingPorts.contains(m_port)) {
            *error = QStringLiteral("No such file or directory: /dev/fake%1").arg(m_port);
            return false;
        }
        m_open = true;
        return true;
    }
    qint64 inBufferCount() const override { return m_waiting.size(); }
    QByteArray input() override { return std::exchange(m_waiting, QByteArray()); }

    // Makes bytes wait and raises the notification, as the line would.
    void receive(const QByteArray& bytes) {
        m_waiting += bytes;
        emit comm();
    }
    // The device goes away, as a pulled cable makes it.
    void loseLine() {
        m_open = false;
        emit lineLost();
    }
    int commPort() const { return m_port; }

    QStringList log;
    QSet<int> missingPorts;

private:
    bool m_open = false;
    int m_port = 0;
    QByteArray m_waiting;
};

class FakeDeviceList : public DeviceList {
public:
    bool deviceNames(QStringList* out, QString* error) override {
        ++scans;
        if (!failure.isEmpty()) {
            *error = failure;
            return false;
        }
        *out = names;
        return true;
    }
    QString deviceNode(int comPort) const override {
        return QStringLiteral("/dev/fake%1").arg(comPort);
    }

    QStringList names;
    QString failure;
    int scans = 0;
};

// Records every box; answers the save dialog with the next prepared name.
class FakeDialogs : public Dialogs {
public:
    struct Box {
        QString text;
        QString caption;
        Icon icon;
    };
    void message(const QString& text, const QString& caption, Icon icon) override {
        boxes.push_back({text, caption, icon});
        if (onMessage)
            onMessage();
    }
    QString saveFileName(const QString& filter, const QString& initialName,
                         int* filterIndex) override {
        filters << filter;
        offeredNames << initialName;
        if (filterIndex)
            *filterIndex = filterAnswer;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }

    std::vector<Box> boxes;
    std::function<void()> onMessage;
    QStringList filters;
    QStringList offeredNames;
    QStringList saveAnswers;
    int filterAnswer = 0; // the filter the user leaves selected
};

class FixedClock : public Clock {
public:
    QDateTime now() const override { return time; }
    QDateTime time{QDate(2027, 2, 1), QTime(21, 5, 3)};
};

class FakeProgram : public ProgramControl {
public:
    void endNow(int status) override {
        ended = true;
        exitStatus = status;
    }
    bool ended = false;
    int exitStatus = -1;
};
