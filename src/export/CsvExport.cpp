#include "export/CsvExport.h"

#include "grid/CellTable.h"

#include <QSaveFile>

#include <algorithm>

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

QStringList eightFields(QStringList fields) {
    fields.resize(csvexport::kColumns);
    return fields;
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
    for (int col = 0; col < csvexport::kColumns; ++col)
        texts.append(table.textMatrix(row, col));
    return texts;
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
    QList<QStringList> rows;
    for (int row = range.first; row <= range.last; ++row)
        rows.append(exportRow(table, row));
    return csvBytes(exportedAt, exportRow(table, 0), rows);
}

RowRange exportRange(int index, int row, int rowSel) {
    if (index == 0)
        return {csvexport::kFirstDataRow, csvexport::kLastDataRow};
    RowRange range{std::min(row, rowSel), std::max(row, rowSel)};
    if (range.first == 0 && range.last > 0)
        range.first = csvexport::kFirstDataRow;
    return range;
}

bool writeFileReplacing(const QString& name, const QByteArray& bytes, QString* error) {
    QSaveFile file(name);
    // A file the user may write in a folder they may not: the temporary file cannot be made
    // beside it, so that one case writes the file in place. QSaveFile falls back only when
    // creating the temporary file is refused; everything else stays atomic.
    file.setDirectWriteFallback(true);
    const auto fail = [&file, error]() {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    // Unbuffered: a buffered write that fails only in the final flush (disk full) goes
    // unnoticed by commit(), which would then replace the old file with a truncated one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail();
    // A write cut short by a full disk returns the part written with no error set; only the
    // next write fails and gives the system's reason.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return fail();
        written += n;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
