#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal on the main thread. The handler itself
// only writes one byte to a pipe.
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
