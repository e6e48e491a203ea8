#pragma once

#include "grid/GridState.h"
#include "link/ConnectionView.h"
#include "link/SlotTable.h"

#include <QDateTime>
#include <QPair>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

// The window as download reception (or the connection, through View) sees it: status lines as
// texts and slot-table cells in a grid state of the slot table's shape. Every status write and
// every decoder call is recorded in one event list, so tests can check what was written, how
// often and in which order.
template <class View> class Recording : public View {
public:
    QString statusText(int line) const override { return status[line & 1]; }
    void setStatusText(int line, const QString& text) override {
        status[line & 1] = text;
        events << QStringLiteral("%1=%2").arg(line).arg(text);
    }
    void setSlotCell(int row, int col, const QString& text) override {
        ++cellWrites;
        // Reception writes slot rows only, never the header row or past the calibration row.
        EXPECT_GE(row, 1);
        EXPECT_LE(row, kSlotTableRows - 1);
        written.insert({row, col});
        cells.setTextMatrix(row, col, text);
    }
    QDateTime now() const override { return time; }
    int comPort() const override { return port; }
    void decodeMemory() override {
        ++decodeCalls;
        events << QStringLiteral("decode");
        statusAtDecode = {status[0], status[1]};
    }

    // The texts written to one status line, in order.
    QStringList statusWrites(int line) const {
        QStringList texts;
        const QString prefix = QStringLiteral("%1=").arg(line);
        for (const QString& event : events)
            if (event.startsWith(prefix))
                texts << event.mid(prefix.size());
        return texts;
    }
    QString cell(int row, int col) const { return cells.textMatrix(row, col); }
    // True once reception has written the cell, even with an empty text.
    bool hasCell(int row, int col) const { return written.contains({row, col}); }

    QString status[2] = {QStringLiteral("Ready."), QStringLiteral("COM:181")};
    QStringList events;
    GridState cells{kSlotTableRows, kSlotTableCols};
    QSet<QPair<int, int>> written;
    int cellWrites = 0;
    int decodeCalls = 0;
    QPair<QString, QString> statusAtDecode;
    int port = 181;
    QDateTime time{QDate(2027, 2, 1), QTime(21, 5, 3)};
};

using RecordingView = Recording<ReceptionView>;

// The window as the meter connection sees it: the recording view with a connection list, whose
// chosen entry a test sets as a click would.
class RecordingConnectionView : public Recording<ConnectionView> {
public:
    void showMeters(const QList<MeterEntry>& list) override {
        meters = list;
        chosen = -1;
    }
    void chooseFirstMeter() override { chosen = 0; }
    std::optional<qint64> chosenPort() const override {
        if (chosen < 0 || chosen >= meters.size())
            return std::nullopt;
        return meters[chosen].port;
    }

    QList<MeterEntry> meters;
    qsizetype chosen = -1;
};
