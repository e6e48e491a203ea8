#include "link/PacketFramer.h"

#include <algorithm>

void PacketFramer::append(const QByteArray& chunk) {
    if (chunk.isEmpty())
        return;
    m_buffer.append(chunk);
    const qsizetype tailStart = std::max(m_buffer.lastIndexOf('/') + 1, m_head);
    const qsizetype excess = m_buffer.size() - tailStart - kMaxPending;
    if (excess > 0)
        m_buffer.remove(tailStart, excess);
}

std::optional<QByteArray> PacketFramer::takePacket() {
    for (;;) {
        const qsizetype slash = m_buffer.indexOf('/', m_head);
        if (slash < 0) {
            compact();
            return std::nullopt;
        }
        const qsizetype start = m_head;
        m_head = slash + 1;
        if (slash - start < kMaxPending)
            return m_buffer.mid(start, slash - start);
    }
}

void PacketFramer::clear() {
    m_buffer.clear();
    m_head = 0;
}

const QByteArray& PacketFramer::comBuffer() const {
    compact();
    return m_buffer;
}

void PacketFramer::compact() const {
    if (m_head == 0)
        return;
    m_buffer.remove(0, m_head);
    m_head = 0;
}
