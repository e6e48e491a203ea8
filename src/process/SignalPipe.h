#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the main thread, so that a logout or a
// kill ends the program through its normal shutdown. The handler itself only writes one byte
// to a pipe. One at a time per process; on systems without these signals it is never valid.
class SignalPipe : public QObject {
    Q_OBJECT
public:
    explicit SignalPipe(QObject* parent = nullptr);
    ~SignalPipe() override;

    // False when the pipe or the handlers could not be set up.
    bool isValid() const { return m_notifier != nullptr; }

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
