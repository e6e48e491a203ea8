#include "process/SignalPipe.h"

#include <QMetaObject>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <windows.h>

namespace {

// The console calls its handler on a thread of its own, which reaches the pipe only through
// static storage, under the lock.
std::mutex g_lock;
std::condition_variable g_gone;
SignalPipe* g_pipe = nullptr;

// After a close, logoff or shutdown the system ends the process as soon as the handler
// returns (and a few seconds later in any case): the handler waits that long for the normal
// shutdown, which ends with the pipe.
constexpr auto kShutdownWait = std::chrono::seconds(4);

BOOL WINAPI onConsoleEvent(DWORD event) {
    std::unique_lock lock(g_lock);
    if (!g_pipe)
        return FALSE;
    QMetaObject::invokeMethod(g_pipe, &SignalPipe::terminationRequested, Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        g_gone.wait_for(lock, kShutdownWait, [] { return g_pipe == nullptr; });
    return TRUE;
}

} // namespace

SignalPipe::SignalPipe(QObject* parent) : QObject(parent) {
    {
        const std::lock_guard lock(g_lock);
        if (g_pipe)
            return;
        g_pipe = this;
    }
    m_valid = SetConsoleCtrlHandler(onConsoleEvent, TRUE) != 0;
    if (!m_valid) {
        const std::lock_guard lock(g_lock);
        g_pipe = nullptr;
    }
}

SignalPipe::~SignalPipe() {
    if (!m_valid)
        return;
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    {
        const std::lock_guard lock(g_lock);
        g_pipe = nullptr;
    }
    g_gone.notify_all();
}
