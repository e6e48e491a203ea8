#include "Child.h"

#include <QProcessEnvironment>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

Child::~Child() {
    stop();
}

bool Child::start(const QString& program, const QStringList& args, const QStringList& env,
                  bool keepOutput, QString* error) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : env) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        environment.insert(entry.left(eq), entry.mid(eq + 1));
    }
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    const qsizetype argCount = qsizetype(storage.size());
    for (const QString& e : environment.toStringList())
        storage.push_back(e.toLocal8Bit());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (qsizetype i = 0; i < qsizetype(storage.size()); ++i)
        (i < argCount ? argv : envp).push_back(storage[size_t(i)].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepOutput) {
        if (pipe2(fds, O_CLOEXEC) != 0) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    m_startedAt = Clock::now();
    const int rc = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (keepOutput)
        ::close(fds[1]);
    if (rc != 0) {
        m_pid = -1;
        if (keepOutput)
            ::close(fds[0]);
        *error = QStringLiteral("%1: %2").arg(program, QString::fromLocal8Bit(std::strerror(rc)));
        return false;
    }
    if (keepOutput)
        m_reader = std::thread([this, fd = fds[0]] { readOutput(fd); });
    return true;
}

void Child::readOutput(int fd) {
    QByteArray pending;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        const Clock::time_point at = Clock::now();
        pending.append(buffer, n);
        qsizetype end = 0;
        std::lock_guard lock(m_mutex);
        while ((end = pending.indexOf('\n')) >= 0) {
            m_lines.push_back({QString::fromLocal8Bit(pending.left(end)), at});
            pending.remove(0, end + 1);
        }
        m_arrived.notify_all();
    }
    ::close(fd);
}

bool Child::waitForLine(const QString& prefix, int timeoutMs, TimedLine* line) {
    std::unique_lock lock(m_mutex);
    const auto found = [&] {
        for (const TimedLine& l : m_lines) {
            if (l.text.startsWith(prefix)) {
                *line = l;
                return true;
            }
        }
        return false;
    };
    return m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), found);
}

int Child::wait(rusage* usage, Clock::time_point* endedAt) {
    int status = 0;
    rusage ru{};
    while (m_pid > 0 && wait4(m_pid, &status, 0, &ru) < 0 && errno == EINTR) {
    }
    *endedAt = Clock::now();
    if (usage)
        *usage = ru;
    m_pid = -1;
    if (m_reader.joinable())
        m_reader.join();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Child::stop(rusage* usage) {
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
    Clock::time_point ended;
    wait(usage, &ended);
}

} // namespace bench
