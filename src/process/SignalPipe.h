#pragma once

#include <QObject>

// Turns the system's requests to end the program into a Qt signal on the main thread, so that
// a logout, a kill or Ctrl+C ends it through its normal shutdown: SIGINT, SIGTERM and SIGHUP on
// Unix, whose handler only writes one byte to a pipe; on Windows the console's Ctrl+C,
// Ctrl+Break, close, logoff and shutdown, whose handler runs on a thread of its own and only
// posts to the main thread. One at a time per process.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;

    // False when the handlers could not be set up.
    bool isValid() const { return m_valid; }

signals:
    void terminationRequested();

private:
    bool m_valid = false;
};
