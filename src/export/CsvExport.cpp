#include "export/CsvExport.h"

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page leaves the byte undefined.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char windows1252Byte(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<char>(static_cast<quint8>(code));
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == code)
            return static_cast<char>(static_cast<quint8>(0x80 + i));
    }
    return '?';
}

void appendLine(QByteArray& out, const QString& line) {
    out += toWindows1252(line);
    out += "\r\n";
}

} // namespace

QByteArray toWindows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes += '?';
            ++i;
        } else if (c.isSurrogate()) {
            bytes += '?';
        } else {
            bytes += windows1252Byte(c.unicode());
        }
    }
    return bytes;
}

QByteArray csvBytes(const QDateTime& exportedAt, const QStringList& headerTexts,
                    const QList<QStringList>& rows) {
    QByteArray out;
    appendLine(out, exportedText(exportedAt) + QStringLiteral(",,,,,,"));
    appendLine(out, exportHeader(headerTexts).join(u','));
    for (const QStringList& row : rows)
        appendLine(out, eightFields(row).join(u','));
    return out;
}

QByteArray tableCsvBytes(const QDateTime& exportedAt, const CellTable& table, RowRange range) {
    const ExportRows rows = exportRows(table, range);
    return csvBytes(exportedAt, rows.header, rows.rows);
}
