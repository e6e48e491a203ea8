#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/types.h>

namespace bench {

using Clock = std::chrono::steady_clock;

// Milliseconds between two instants.
inline double msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// CPU time of the calling thread, in milliseconds.
double threadCpuMs();

// A line a child printed and when it arrived.
struct TimedLine {
    QString text;
    Clock::time_point at;
};

// A child process started with its own environment. Its stdout and stderr go to one pipe
// that a thread of ours reads, stamping every line on arrival, so the stamps do not depend
// on what our event loop is busy with.
class Child {
public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Starts program with args; env holds "NAME=value" entries added to ours (replacing).
    // keepOutput false sends the child's output to /dev/null instead of the pipe.
    bool start(const QString& program, const QStringList& args, const QStringList& env,
               bool keepOutput, QString* error);
    // The instant just before the process was created.
    Clock::time_point startedAt() const { return m_startedAt; }
    pid_t pid() const { return m_pid; }

    // Waits up to timeoutMs for a line starting with prefix; returns it, or nullopt-like
    // empty text with a default stamp on time-out.
    bool waitForLine(const QString& prefix, int timeoutMs, TimedLine* line);

    // Sends SIGTERM, reaps the process and gives its resource use (peak memory in ru_maxrss).
    void stop(rusage* usage = nullptr);
    // Waits for the process to end by itself; gives its exit status (-1 when it did not exit)
    // and its resource use, and the instant it was reaped in *endedAt.
    int wait(rusage* usage, Clock::time_point* endedAt);

private:
    void readOutput(int fd);

    pid_t m_pid = -1;
    Clock::time_point m_startedAt;
    std::thread m_reader;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<TimedLine> m_lines;
};

} // namespace bench
