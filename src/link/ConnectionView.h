#pragma once

#include "link/MeterDiscovery.h"
#include "link/ReceptionView.h"

#include <QList>

#include <optional>

// What the meter connection reads and writes outside itself: all that reception does, and the
// connection list. The window implements it.
class ConnectionView : public ReceptionView {
public:
    // Replaces the list's entries with meters, in order, without choosing one.
    virtual void showMeters(const QList<MeterEntry>& meters) = 0;
    // Makes the first entry the chosen one, without running a connection.
    virtual void chooseFirstMeter() = 0;
    // The port number kept with the chosen entry; nothing when no entry is chosen.
    virtual std::optional<qint64> chosenPort() const = 0;
};
