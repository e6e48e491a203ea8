#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <optional>

// An X server of the test's own, for as long as the object lives. The server picks a free
// display number itself and reports it once it accepts clients, so a server of another run
// that is still shutting down, or one started beside it, cannot take the number away. While
// it lives, DISPLAY points at it for this process and for every program the test starts.
class VirtualScreen {
public:
    // Starts the server and waits until it accepts clients.
    VirtualScreen();
    // Ends the server and waits for it, and puts DISPLAY and XAUTHORITY back.
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    bool ok() const { return !m_display.isEmpty(); }
    // ":n", or empty when the server did not start.
    QString display() const { return m_display; }
    // Why the server did not start.
    QString error() const { return m_error; }

private:
    void startOnce();

    QProcess m_server;
    QString m_display;
    QString m_error;
    std::optional<QByteArray> m_previousDisplay;
    std::optional<QByteArray> m_previousAuthority;
};
