#include "RawLine.h"

#include <QFile>

#include <chrono>

RawLine::RawLine(const QString& portsFolder, const QString& name) {
    QString error;
    if (!m_line.open(&error))
        return;
    m_link = portsFolder + u'/' + name;
    m_ok = QFile::link(m_line.devicePath(), m_link);
}

RawLine::~RawLine() {
    finish();
    QFile::remove(m_link);
}

void RawLine::send(QByteArray bytes) {
    finish();
    m_done = false;
    m_writer = std::thread([this, bytes = std::move(bytes)] {
        qsizetype sent = 0;
        while (sent < bytes.size()) {
            const qint64 n = m_line.write(bytes.constData() + sent, bytes.size() - sent);
            if (n < 0)
                break;
            // The line is non-blocking: a full line is waited out, not given up on.
            if (n == 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            sent += n;
        }
        m_done = true;
    });
}

void RawLine::unpublish() {
    QFile::remove(m_link);
}

void RawLine::finish() {
    if (m_writer.joinable())
        m_writer.join();
}
