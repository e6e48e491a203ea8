#pragma once

#include <QByteArray>

#include <optional>

// Cuts the meter's serial text into packets, each ended by "/". Holds the received text not yet
// taken (ComBuffer). Unterminated text is bounded: a device streaming without "/" cannot make
// the buffer grow without limit.
class PacketFramer {
public:
    // Most bytes of unterminated text kept; beyond it the oldest bytes are dropped. A real
    // packet is under 100 bytes, so a packet this long or longer is never a meter's packet.
    static constexpr qsizetype kMaxPending = 4096;

    // Adds received text after what is held. If the text after the last "/" then exceeds
    // kMaxPending bytes, its oldest bytes are dropped down to kMaxPending.
    void append(const QByteArray& chunk);

    // The next complete packet, the text before the first "/" (possibly empty), removed from
    // the buffer together with its "/". A packet of kMaxPending bytes or more (one that was
    // cut by the bound, or arrived whole but oversized) is removed and skipped. nullopt when
    // no complete packet is held; the unterminated rest stays.
    std::optional<QByteArray> takePacket();

    // Discards everything held.
    void clear();

    // The text held and not yet taken.
    const QByteArray& comBuffer() const;

private:
    // Taken packets are only skipped over by m_head and cut off in one go, so handling many
    // packets from one large read stays linear.
    void compact() const;

    mutable QByteArray m_buffer;
    mutable qsizetype m_head = 0;
};
