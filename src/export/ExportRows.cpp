#include "export/ExportRows.h"

#include "grid/CellTable.h"

#include <algorithm>

QString exportedText(const QDateTime& exportedAt) {
    return QStringLiteral("Exported ") + exportedAt.toString(QStringLiteral("yyyy.MM.dd HH:mm:ss"));
}

QStringList exportHeader(const QStringList& headerTexts) {
    QStringList header = eightFields(headerTexts);
    for (QString& text : header)
        text.replace(u'\r', u' ');
    return header;
}

QStringList exportRow(const CellTable& table, int row) {
    QStringList texts;
    for (int col = 0; col < memtable::kCols; ++col)
        texts.append(table.textMatrix(row, col));
    return texts;
}

ExportRows exportRows(const CellTable& table, RowRange range) {
    ExportRows out{exportRow(table, 0), {}};
    for (int row = range.first; row <= range.last; ++row)
        out.rows.append(exportRow(table, row));
    return out;
}

QStringList eightFields(QStringList fields) {
    fields.resize(memtable::kCols);
    return fields;
}

RowRange exportRange(int index, int row, int rowSel) {
    if (index == 0)
        return {memtable::kFirstDataRow, memtable::kLastDataRow};
    RowRange range{std::min(row, rowSel), std::max(row, rowSel)};
    if (range.first == 0 && range.last > 0)
        range.first = memtable::kFirstDataRow;
    return range;
}
