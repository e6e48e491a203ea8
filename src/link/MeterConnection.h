#pragma once

#include "link/ConnectionView.h"
#include "link/MeterDiscovery.h"
#include "link/Reception.h"
#include "system/Dialogs.h"

#include <QList>
#include <QObject>
#include <QString>

class DeviceList;
class DeviceMonitor;
class DownloadKeeper;
class ProgramControl;
class SerialPort;

// The window's link to the meter, without a widget: discovery into the connection list,
// opening the chosen port, feeding each notification to reception, the discovery owed after
// device notices, and the lost line. A failed discovery or connection tells the user, then
// ends the program. It listens to the port's and the monitor's signals itself.
class MeterConnection : public QObject {
    Q_OBJECT
public:
    // With a keeper, every download that passes its check is kept before it is decoded.
    MeterConnection(SerialPort& port, DeviceList& devices, Dialogs& dialogs,
                    ProgramControl& program, ConnectionView& view, DeviceMonitor* monitor = nullptr,
                    DownloadKeeper* keeper = nullptr, QObject* parent = nullptr);

    // Start-up: no port chosen (ComPort -1) and every received flag cleared.
    void reset();
    // Discovery: lists the meters; a single one is chosen and connected at once.
    void scanComPorts();
    // Connects the chosen entry's port: closes the open one, opens the new one with the meter's
    // line settings and writes the idle texts.
    void connectChosen();
    // One serial notification: hands what waits to reception.
    void onComm();
    // The open port's device went away: the download ends and the panel says so.
    void lineLost();
    // Devices arrived or left: discovery runs as after a click on "Connection:", but never
    // during a download; then it runs once the download has ended.
    void devicesChanged();
    // Shutdown: closes the port. True when it was open.
    bool closeForShutdown();

    // ComPort: the port in use, -1 until one is chosen.
    int comPort() const { return m_comPort; }
    // True once the program has been told to end; the window stops its start-up there.
    bool ended() const { return m_ended; }
    const Reception& reception() const { return m_reception; }

private:
    bool downloading() const;
    void connectionFailed(const QString& reason);
    // Tells the user (standard error and a box) and ends the program with status 1.
    void failWith(const QString& text, const QString& caption, Dialogs::Icon icon);
    // The download just decoded could not be kept: standard error at once, a box once the
    // notification has been handled.
    void notKept(const QString& reason);
    void runPendingDiscovery();
    // Discovery after a device notice; skipped while a port is open and the list of meters
    // would come out the same.
    void rescanOnNotice();

    SerialPort& m_port;
    DeviceList& m_devices;
    Dialogs& m_dialogs;
    ProgramControl& m_program;
    ConnectionView& m_view;
    DownloadKeeper* m_keeper = nullptr;
    Reception m_reception;
    // The connection list's entries as discovery made them.
    QList<MeterEntry> m_meters;
    qint16 m_comPort = -1;
    // Set once the program has been told to end; handlers stop there.
    bool m_ended = false;
    // Devices changed during a download; discovery is owed once it ends.
    bool m_discoveryPending = false;
};
