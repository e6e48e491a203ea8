#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class PtyLine;
class QSocketNotifier;

// Plays the meter on a line: waits for a reader, sends the download text at the pace of the
// chosen baud rate, then waits for the next reader or finishes.
class MeterSim : public QObject {
    Q_OBJECT
public:
    struct Options {
        int baudRate = 9600;       // 0 sends everything at once
        bool waitForReader = true; // false: send at once
        bool exitAfter = false;    // finish after sending instead of waiting again
        int repeat = 1;            // downloads sent one after another each time
    };

    // line must outlive the simulator.
    MeterSim(PtyLine& line, QByteArray download, Options options, QObject* parent = nullptr);

    // Begins waiting, or sending when the options say not to wait.
    void start();

signals:
    // The download was sent and the options say to exit; the reader had a moment to read.
    void finished();
    // The line cannot be written any more.
    void failed(const QString& reason);

private:
    void waitForReader();
    void pollLine();
    void readStdin();
    void beginSending();
    void sendDue();
    // Between downloads: once the reader has taken the last one, and a moment later, the next.
    void awaitReader();
    void log(const QString& text);

    PtyLine& m_line;
    QByteArray m_download;
    Options m_options;
    QTimer m_pollTimer;
    QTimer m_sendTimer;
    QTimer m_gapTimer;
    QElapsedTimer m_sendClock;
    QSocketNotifier* m_stdin = nullptr;
    QByteArray m_pending;
    qsizetype m_sent = 0;
    int m_downloadsLeft = 0;
    int m_emptyLooks = 0;
    bool m_waiting = false;
};
