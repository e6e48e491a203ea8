#include "XDisplay.h"

#include "Child.h"

#include <xcb/xcb.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace bench {

namespace {

constexpr int kPixelPollMicroseconds = 500;

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? int(left.count()) : 0;
}

} // namespace

XDisplay::~XDisplay() {
    if (m_connection)
        xcb_disconnect(m_connection);
    if (m_server > 0) {
        ::kill(m_server, SIGTERM);
        waitpid(m_server, nullptr, 0);
    }
}

bool XDisplay::start(QString* error) {
    int fds[2];
    if (pipe(fds) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const QByteArray fd = QByteArray::number(fds[1]);
    const char* argv[] = {"Xvfb", "-displayfd", fd.constData(), "-screen",   "0",   "1280x1024x24",
                          "-dpi", "96",         "-br",          "-nolisten", "tcp", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int rc =
        posix_spawnp(&m_server, "Xvfb", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        m_server = -1;
        *error = QStringLiteral("Xvfb: %1").arg(QString::fromLocal8Bit(std::strerror(rc)));
        return false;
    }
    QByteArray number;
    char c = 0;
    while (::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (number.isEmpty()) {
        *error = QStringLiteral("Xvfb did not report a display");
        return false;
    }
    m_name = QStringLiteral(":") + QString::fromLatin1(number);

    m_connection = xcb_connect(m_name.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(m_connection)) {
        *error = QStringLiteral("cannot connect to %1").arg(m_name);
        return false;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_root = screen->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
    return true;
}

void XDisplay::drainEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
        std::free(event);
}

uint32_t XDisplay::waitForMappedWindow(int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd pfd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
            uint32_t window = 0;
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (map->event == m_root && !map->override_redirect)
                    window = map->window;
            }
            std::free(event);
            if (window)
                return window;
        }
        const int left = remainingMs(deadline);
        if (left == 0 || xcb_connection_has_error(m_connection))
            return 0;
        poll(&pfd, 1, left);
    }
}

bool XDisplay::waitForFirstFrame(uint32_t window, int x, int y, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (remainingMs(deadline) > 0) {
        xcb_get_image_cookie_t cookie = xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP,
                                                      window, int16_t(x), int16_t(y), 1, 1, ~0u);
        xcb_get_image_reply_t* reply = xcb_get_image_reply(m_connection, cookie, nullptr);
        bool drawn = false;
        if (reply) {
            const uint8_t* data = xcb_get_image_data(reply);
            const int length = xcb_get_image_data_length(reply);
            for (int i = 0; i < length && i < 3; ++i)
                drawn = drawn || data[i] != 0;
            std::free(reply);
        }
        if (drawn)
            return true;
        usleep(kPixelPollMicroseconds);
    }
    return false;
}

} // namespace bench
