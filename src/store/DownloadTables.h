#pragma once

#include "grid/GridState.h"
#include "link/ReceptionView.h"

#include <QDateTime>
#include <QString>

// The window's two tables without a window: what reception writes goes into a slot table, a
// complete download is decoded into a measurement table laid out as the window lays it out,
// and the outcome of the check is noted. For the command line and for checking files.
class DownloadTables : public ReceptionView {
public:
    explicit DownloadTables(int comPort = -1);

    const GridState& slotTable() const { return m_slotTable; }
    const GridState& memTable() const { return m_memTable; }
    // Downloads that passed their check so far.
    int completions() const { return m_completions; }
    // The count of slots of the last download that failed its check; empty when none failed.
    const QString& slotsAtFailure() const { return m_slotsAtFailure; }
    // The clock of the "Received" stamps; an invalid time means the system's.
    void setTime(const QDateTime& at) { m_time = at; }

    QString statusText(int line) const override { return m_status[line & 1]; }
    void setStatusText(int line, const QString& text) override;
    void setSlotCell(int row, int col, const QString& text) override;
    QDateTime now() const override;
    int comPort() const override { return m_comPort; }
    void decodeMemory() override;

private:
    GridState m_slotTable;
    GridState m_memTable;
    QString m_status[2];
    QString m_lastDetail;
    QString m_slotsAtFailure;
    QDateTime m_time;
    int m_comPort = -1;
    int m_completions = 0;
};
