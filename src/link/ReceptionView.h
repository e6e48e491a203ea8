#pragma once

#include <QDateTime>
#include <QString>

// What download reception reads and writes outside itself: the two status lines, the slot
// table's cells, the clock, the port number and the decoder. The window implements it.
class ReceptionView {
public:
    virtual ~ReceptionView() = default;
    // Text of status line 0 (state) or 1 (detail).
    virtual QString statusText(int line) const = 0;
    virtual void setStatusText(int line, const QString& text) = 0;
    // Writes one cell of the slot table (rows 1 to 101).
    virtual void setSlotCell(int row, int col, const QString& text) = 0;
    virtual QDateTime now() const = 0;
    // The port in use, for the idle text "COM:<port>".
    virtual int comPort() const = 0;
    // Decodes the slot table into the measurement table after a complete download.
    virtual void decodeMemory() = 0;
};

// Passes everything on to another view; a subclass changes what it needs to.
class ForwardingReceptionView : public ReceptionView {
public:
    explicit ForwardingReceptionView(ReceptionView& view) : m_view(view) {}
    QString statusText(int line) const override { return m_view.statusText(line); }
    void setStatusText(int line, const QString& text) override { m_view.setStatusText(line, text); }
    void setSlotCell(int row, int col, const QString& text) override {
        m_view.setSlotCell(row, col, text);
    }
    QDateTime now() const override { return m_view.now(); }
    int comPort() const override { return m_view.comPort(); }
    void decodeMemory() override { m_view.decodeMemory(); }

private:
    ReceptionView& m_view;
};
