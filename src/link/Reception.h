#pragma once

#include "link/PacketFramer.h"
#include "link/ReceptionView.h"
#include "link/SlotTable.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <optional>

// Download reception: cuts the meter's text into slot packets, writes each into its slot-table
// row, shows the progress and, once slot 100 is handled, checks that the download is complete
// and hands it to the decoder. Holds ComBuffer and SlotReceived; everything it shows or stores
// goes through a ReceptionView.
class Reception {
public:
    // Sets every SlotReceived flag to 0 and forgets the transfer under way, as at start-up.
    void resetFlags();

    // One serial notification. waiting is what the port's input returned; when it is empty
    // nothing happens at all. Otherwise it is appended to ComBuffer and every complete packet
    // held is handled in order. A packet whose slot is below the one handled before begins a
    // new transfer: the slots received so far no longer count. After the packet of slot 100 the
    // completion check runs and ComBuffer is emptied: the rest of this read is dropped.
    void onComm(const QByteArray& waiting, ReceptionView& view);

    // A meter was chosen: whatever the previous line was sending can never be completed, so
    // its unterminated text (which would be glued to the new line's first packet) and its
    // SlotReceived flags are dropped. The next packet begins a new transfer.
    void endTransfer();

    // The line went away: a download under way can never complete, so it is ended as by
    // endTransfer(), and the panel says so (which also ends the download guard).
    // The slot table and the measurement table keep what they hold.
    void lineLost(ReceptionView& view);

    // The received text not yet handled.
    const QByteArray& comBuffer() const;
    // SlotReceived of a slot 0 to 100 (0 or 1); 0 for any other number.
    int slotReceived(int slot) const;

    // While decodeMemory() of a download that passed its check runs: that download's packets
    // as received, without their "/", one per slot (the last that counted for it) in the order
    // they were handled. Empty at any other time, so a download is handed out once.
    const QList<QByteArray>& completedDownload() const { return m_completed; }

private:
    // Writes one packet into the slot table and the status panel. Returns its slot, or nullopt
    // when the packet was ignored (empty, or no slot 0 to 100).
    std::optional<int> handlePacket(const QByteArray& packet, ReceptionView& view);
    void checkCompletion(ReceptionView& view);

    // The packets that set each slot's flag, and when, so the download can be kept as sent.
    void rememberPacket(int slot, const QByteArray& packet);
    QList<QByteArray> packetsInOrder() const;

    PacketFramer m_framer;
    std::array<int, kSlotCount> m_slotReceived{};
    std::array<QByteArray, kSlotCount> m_packets{};
    std::array<quint64, kSlotCount> m_handledAt{};
    quint64 m_handled = 0;
    QList<QByteArray> m_completed;
    // Slot of the packet handled last in the transfer under way; nullopt between transfers.
    std::optional<int> m_lastSlot;
};
