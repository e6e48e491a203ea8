#include "export/WorkbookExport.h"

#include "decode/DecodeMemory.h"
#include "decode/ValueFormat.h"
#include "grid/CellTable.h"
#include "grid/GridSort.h"

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kHeaderRow = 1;
constexpr int kFirstRow = 2;
// Room for the cell padding and for bold header letters, in characters.
constexpr double kWidthPadding = 2.0;

class Sheet {
public:
    Sheet(lxw_workbook* book, lxw_worksheet* sheet) : m_book(book), m_sheet(sheet) {}

    void text(int row, int col, const QString& text, lxw_format* format = nullptr) {
        if (text.isEmpty())
            return;
        const QByteArray utf8 = text.toUtf8();
        keep(worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row),
                                    static_cast<lxw_col_t>(col), utf8.constData(), format));
    }

    void cell(int row, int col, const QString& text) {
        const WorkbookCell cell = workbookCell(text);
        if (!cell.isNumber) {
            this->text(row, col, cell.text);
            return;
        }
        keep(worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row),
                                    static_cast<lxw_col_t>(col), cell.number,
                                    numberFormat(cell.decimals)));
    }

    lxw_format* bold() {
        lxw_format* format = workbook_add_format(m_book);
        format_set_bold(format);
        return format;
    }

    void keep(lxw_error error) {
        if (m_error == LXW_NO_ERROR)
            m_error = error;
    }
    lxw_error error() const { return m_error; }

private:
    // One format for each count of decimals, "0" to "0.000" and beyond.
    lxw_format* numberFormat(int decimals) {
        lxw_format*& format = m_numberFormats[decimals];
        if (!format) {
            format = workbook_add_format(m_book);
            const QByteArray mask = BuildFormatMask(static_cast<qint16>(decimals)).toLatin1();
            format_set_num_format(format, mask.constData());
        }
        return format;
    }

    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QMap<int, lxw_format*> m_numberFormats;
    lxw_error m_error = LXW_NO_ERROR;
};

// Column widths in characters, from the header and the rows; the "Exported" line runs on into
// the empty cells beside it and does not count.
std::vector<double> columnWidths(const QStringList& header, const QList<QStringList>& rows) {
    std::vector<double> widths(memtable::kCols, 0.0);
    const auto widen = [&widths](const QStringList& texts) {
        for (int col = 0; col < memtable::kCols && col < texts.size(); ++col) {
            const double chars = static_cast<double>(texts.at(col).size());
            widths[static_cast<size_t>(col)] = std::max(widths[static_cast<size_t>(col)], chars);
        }
    };
    widen(header);
    for (const QStringList& row : rows)
        widen(row);
    for (double& width : widths)
        width += kWidthPadding;
    return widths;
}

// The library prints numbers with the C library, which follows the process's numeric locale
// (the toolkit sets it from the environment): under a German one 0.12 would be stored as
// "0,12", which spreadsheets read as 0. The export runs on the one user-interface thread, so
// the process-wide setting may be switched for its length.
class CNumbersWhileAlive {
public:
    CNumbersWhileAlive() {
        if (const char* current = std::setlocale(LC_NUMERIC, nullptr))
            m_saved = current;
        std::setlocale(LC_NUMERIC, "C");
    }
    ~CNumbersWhileAlive() {
        if (!m_saved.empty())
            std::setlocale(LC_NUMERIC, m_saved.c_str());
    }
    CNumbersWhileAlive(const CNumbersWhileAlive&) = delete;
    CNumbersWhileAlive& operator=(const CNumbersWhileAlive&) = delete;

private:
    std::string m_saved;
};

QString failure(lxw_error error, int systemError) {
    QString reason = QString::fromUtf8(lxw_strerror(error));
    if (systemError != 0)
        reason += QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(systemError)) + u')';
    return reason;
}

} // namespace

WorkbookCell workbookCell(const QString& text) {
    const std::optional<gridsort::PlainNumber> number = gridsort::plainNumber(text);
    if (number && std::isfinite(number->value) && number->decimals <= SHRT_MAX) {
        const QString mask = BuildFormatMask(static_cast<qint16>(number->decimals));
        // Only what the number format gives back unchanged may become a number, so the
        // workbook never shows a value other than the table's.
        QString shown = text;
        shown.replace(u',', u'.');
        if (formatWithPattern(number->value, mask) == shown)
            return {true, number->value, number->decimals, QString()};
    }
    return {false, 0.0, 0, text};
}

std::optional<QByteArray> workbookBytes(const QDateTime& exportedAt, const QStringList& headerTexts,
                                        const QList<QStringList>& rows, QString* error) {
    const auto fail = [error](const QString& reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // The library writes only to a file name. It writes into a private folder, and the caller
    // puts the bytes in place the way every export file is replaced.
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return fail(scratch.errorString());
    const QByteArray folder = QFile::encodeName(scratch.path());
    const QByteArray path = QFile::encodeName(scratch.filePath(QStringLiteral("export.xlsx")));

    const CNumbersWhileAlive cNumbers;
    lxw_workbook_options options{};
    options.tmpdir = const_cast<char*>(folder.constData());
    lxw_workbook* book = workbook_new_opt(path.constData(), &options);
    if (!book)
        return fail(failure(LXW_ERROR_MEMORY_MALLOC_FAILED, 0));
    lxw_worksheet* worksheet = workbook_add_worksheet(book, nullptr);
    Sheet sheet(book, worksheet);

    sheet.text(0, 0, exportedText(exportedAt));
    const QStringList header = exportHeader(headerTexts);
    lxw_format* bold = sheet.bold();
    for (int col = 0; col < header.size(); ++col)
        sheet.text(kHeaderRow, col, header.at(col), bold);
    for (int i = 0; i < rows.size(); ++i) {
        const QStringList& row = rows.at(i);
        for (int col = 0; col < memtable::kCols && col < row.size(); ++col)
            sheet.cell(kFirstRow + i, col, row.at(col));
    }
    const std::vector<double> widths = columnWidths(header, rows);
    for (int col = 0; col < memtable::kCols; ++col) {
        sheet.keep(worksheet_set_column(worksheet, static_cast<lxw_col_t>(col),
                                        static_cast<lxw_col_t>(col),
                                        widths[static_cast<size_t>(col)], nullptr));
    }
    worksheet_freeze_panes(worksheet, kFirstRow, 0);

    errno = 0;
    const lxw_error closed = workbook_close(book); // frees the workbook, also on failure
    const int systemError = errno;
    if (sheet.error() != LXW_NO_ERROR)
        return fail(failure(sheet.error(), 0));
    if (closed != LXW_NO_ERROR)
        return fail(failure(closed, systemError));

    QFile written(scratch.filePath(QStringLiteral("export.xlsx")));
    if (!written.open(QIODevice::ReadOnly))
        return fail(written.errorString());
    const QByteArray bytes = written.readAll();
    if (bytes.size() != written.size())
        return fail(written.errorString());
    return bytes;
}

std::optional<QByteArray> tableWorkbookBytes(const QDateTime& exportedAt, const CellTable& table,
                                             RowRange range, QString* error) {
    const ExportRows rows = exportRows(table, range);
    return workbookBytes(exportedAt, rows.header, rows.rows, error);
}
