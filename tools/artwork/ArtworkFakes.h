#pragma once

#include "Clock.h"
#include "DeviceList.h"
#include "Dialogs.h"
#include "ProgramControl.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <utility>

// The smallest stand-ins the window needs to be driven without hardware, disks or people.

// A port that always opens and hands out whatever was last fed to it.
class FeedPort : public SerialPort {
public:
    bool portOpen() const override { return m_open; }
    void close() override { m_open = false; }
    void setCommPort(int) override {}
    bool setSettings(const QString&) override { return true; }
    void setInputLen(int) override {}
    bool open(QString*) override {
        m_open = true;
        return true;
    }
    qint64 inBufferCount() const override { return m_waiting.size(); }
    QByteArray input() override { return std::exchange(m_waiting, QByteArray()); }

    // Makes bytes wait and raises the notification, as the line would.
    void feed(const QByteArray& bytes) {
        m_waiting += bytes;
        emit comm();
    }

private:
    bool m_open = false;
    QByteArray m_waiting;
};

class FixedDevices : public DeviceList {
public:
    explicit FixedDevices(QStringList names) : m_names(std::move(names)) {}
    bool deviceNames(QStringList* names, QString*) override {
        *names = m_names;
        return true;
    }
    QString deviceNode(int) const override { return {}; }

private:
    QStringList m_names;
};

// No box may appear while pictures are taken; a save dialog is always cancelled.
class SilentDialogs : public Dialogs {
public:
    void message(const QString&, const QString&, Icon) override { ++messages; }
    QString saveFileName(const QString&, const QString&) override { return {}; }
    int messages = 0;
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime time) : m_time(std::move(time)) {}
    QDateTime now() const override { return m_time; }

private:
    QDateTime m_time;
};

class NoExit : public ProgramControl {
public:
    void endNow(int) override { ended = true; }
    bool ended = false;
};
