#include "PtyLine.h"

#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
           a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof(a.c_cc)) == 0 &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

PtyLine::~PtyLine() {
    if (m_readerEnd >= 0)
        ::close(m_readerEnd);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool PtyLine::open(QString* error) {
    m_fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    // Programs started later (a reader under test) must not inherit either end of the line.
    fcntl(m_fd, F_SETFD, FD_CLOEXEC);
    if (grantpt(m_fd) != 0 || unlockpt(m_fd) != 0) {
        *error = systemError("grantpt/unlockpt");
        return false;
    }
    const char* name = ptsname(m_fd);
    if (!name) {
        *error = systemError("ptsname");
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(name);

    termios settings{};
    if (tcgetattr(m_fd, &settings) != 0) {
        *error = systemError("tcgetattr");
        return false;
    }
    cfmakeraw(&settings);
    // Any rate but the reader's 9600, so that a reader opening the line changes it.
    cfsetispeed(&settings, B38400);
    cfsetospeed(&settings, B38400);
    if (tcsetattr(m_fd, TCSANOW, &settings) != 0 || tcgetattr(m_fd, &m_baseline) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }
    m_readerEnd = ::open(name, O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    return true;
}

bool PtyLine::openDevice(const QString& path, QString* error) {
    m_devicePath = path;
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    if (m_fd < 0 || tcgetattr(m_fd, &settings) != 0) {
        *error = systemError(qPrintable(path));
        return false;
    }
    cfmakeraw(&settings);
    if (tcsetattr(m_fd, TCSANOW, &settings) != 0 || tcgetattr(m_fd, &m_baseline) != 0) {
        *error = systemError("tcsetattr");
        return false;
    }
    return true;
}

void PtyLine::drain() {
    tcdrain(m_fd);
}

int PtyLine::waitingForReader() const {
    int waiting = 0;
    if (m_readerEnd < 0 || ioctl(m_readerEnd, FIONREAD, &waiting) != 0)
        return -1;
    return waiting;
}

void PtyLine::resetSettings() {
    tcsetattr(m_fd, TCSANOW, &m_baseline);
}

bool PtyLine::settingsChanged() const {
    termios now{};
    if (tcgetattr(m_fd, &now) != 0)
        return false;
    return !sameSettings(now, m_baseline);
}

qint64 PtyLine::write(const char* data, qint64 size) {
    const ssize_t written = ::write(m_fd, data, static_cast<size_t>(size));
    if (written >= 0)
        return written;
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
}
