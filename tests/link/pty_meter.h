#pragma once

#include "MeterProcess.h"
#include "ReceptionView.h"

#include <QMap>
#include <QPair>
#include <QStringList>

// The simulated meter with a runtime directory of its own, so that its published link can
// neither collide with nor outlive the test.
class PtyMeter {
public:
    // Starts the simulator with the arguments and waits for the link it prints.
    bool start(const QStringList& arguments, QString* error) {
        if (!m_runtime.ok()) {
            *error = QStringLiteral("no private runtime directory");
            return false;
        }
        return m_process.start(m_runtime.path(), arguments, error);
    }
    bool stop() { return m_process.stop(); }
    QString link() const { return m_process.link(); }
    QString device() const { return m_process.device(); }
    QString runtimeDir() const { return m_runtime.path(); }
    QString errors() { return m_process.errors(); }

private:
    RuntimeDir m_runtime;
    MeterProcess m_process;
};

// The window as download reception sees it: status lines and slot-table cells kept as texts,
// every status write and every decoder call recorded.
class RecordingView : public ReceptionView {
public:
    QString statusText(int line) const override { return m_status[line & 1]; }
    void setStatusText(int line, const QString& text) override {
        m_status[line & 1] = text;
        m_statusWrites.append({line, text});
    }
    void setSlotCell(int row, int col, const QString& text) override { m_cells[{row, col}] = text; }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    int comPort() const override { return m_comPort; }
    void decodeMemory() override {
        ++m_decodeCalls;
        m_statusAtDecode = {m_status[0], m_status[1]};
    }

    QString cell(int row, int col) const { return m_cells.value({row, col}); }
    bool hasCell(int row, int col) const { return m_cells.contains({row, col}); }

    QString m_status[2];
    int m_comPort = 181;
    QMap<QPair<int, int>, QString> m_cells;
    QList<QPair<int, QString>> m_statusWrites;
    int m_decodeCalls = 0;
    QPair<QString, QString> m_statusAtDecode;
};
