#pragma once

#include "cli/MeterChoice.h"
#include "link/Reception.h"
#include "store/DownloadStore.h"
#include "store/DownloadTables.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include <optional>

class SerialPort;

// px417 --capture: listens to the chosen meter for one download, keeps it, writes it as OUT
// as --export would, and ends. Failures go to standard error; finished() gives the exit
// status once, with the port closed.
class Capture : public QObject {
    Q_OBJECT
public:
    struct Settings {
        QString out;
        // 0 waits without end.
        int timeoutMs = 0;
    };

    // port must outlive the capture; it is opened by number, and its resolver must give
    // meter.node when that is set.
    Capture(SerialPort& port, MeterChoice meter, DownloadStore store, Settings settings,
            QObject* parent = nullptr);

    // Opens the port and starts waiting. When the port cannot be opened: a message, and the
    // exit status; otherwise nothing, and finished() tells the end.
    std::optional<int> start();
    // Ends the wait with status, as a signal does; does nothing once finished.
    void finish(int status);

signals:
    void finished(int status);

private:
    // The tables, with the download kept before it is decoded.
    class Tables : public DownloadTables {
    public:
        explicit Tables(Capture& capture);
        void decodeMemory() override;

    private:
        Capture& m_capture;
    };

    void onComm();
    void onLineLost();

    SerialPort& m_port;
    MeterChoice m_meter;
    DownloadStore m_store;
    Settings m_settings;
    Reception m_reception;
    Tables m_tables{*this};
    // A child, so that a test can fire it early.
    QTimer m_timeout{this};
    // The end of the time asked; the timer gives up only once it has passed.
    QDeadlineTimer m_deadline;
    bool m_finished = false;
};
