#include "store/DownloadTables.h"

#include "decode/DecodeMemory.h"
#include "link/SlotTable.h"
#include "link/StatusTexts.h"
#include "table/MemTable.h"

DownloadTables::DownloadTables(int comPort)
    : m_slotTable(kSlotTableRows, kSlotTableCols), m_memTable(memtable::kRows, memtable::kCols),
      m_comPort(comPort) {
    layoutSlotTable(m_slotTable);
    memtable::setupMemTable(m_memTable);
}

void DownloadTables::setStatusText(int line, const QString& text) {
    // The check writes the count of slots just before its final texts.
    if (line == 1)
        m_lastDetail = text;
    else if (text == QLatin1String(statustext::kDataCheckError))
        m_slotsAtFailure = m_lastDetail;
    m_status[line & 1] = text;
}

void DownloadTables::setSlotCell(int row, int col, const QString& text) {
    m_slotTable.setTextMatrix(row, col, text);
}

QDateTime DownloadTables::now() const {
    return m_time.isValid() ? m_time : QDateTime::currentDateTime();
}

void DownloadTables::decodeMemory() {
    ++m_completions;
    ::decodeMemory(m_slotTable, m_memTable);
}
