#include "TableExport.h"
#include "TextTable.h"
#include "WorkbookExport.h"
#include "WorkbookReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDateTime kExportedAt(QDate(2026, 12, 7), QTime(16, 51, 34));

const QStringList kHeaders{"Slot#",
                           "Timestamp",
                           "Measurement\rMode",
                           "Calculation\rMode",
                           "Measurement\rValue",
                           "Units",
                           "Crest\rFactor",
                           "Filter"};

// Writes bytes to a fresh file and reads it back with openpyxl.
ReadWorkbook readBack(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("book.xlsx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        ReadWorkbook failed;
        failed.error = QStringLiteral("could not write ") + path;
        return failed;
    }
    file.close();
    return readWorkbook(path);
}

void expectNumber(const ReadWorkbook& book, const QString& at, double value, const char* format) {
    const ReadWorkbook::Cell cell = book.cells.value(at);
    EXPECT_EQ(cell.type, "n") << at.toStdString();
    EXPECT_DOUBLE_EQ(cell.value.toDouble(), value) << at.toStdString();
    EXPECT_EQ(cell.format, format) << at.toStdString();
}

void expectText(const ReadWorkbook& book, const QString& at, const QString& text) {
    const ReadWorkbook::Cell cell = book.cells.value(at);
    EXPECT_EQ(cell.type, "s") << at.toStdString();
    EXPECT_EQ(cell.value.toString(), text) << at.toStdString();
}

} // namespace

TEST(WorkbookCell, numbersAreWholeTextsThatTheirPatternShowsUnchanged) {
    struct Case {
        const char* text;
        double number;
        int decimals;
    };
    for (const Case& c : {Case{"10.00", 10.0, 2}, Case{"1", 1.0, 0}, Case{"147.0", 147.0, 1},
                          Case{"-0.390", -0.39, 3}, Case{"5120", 5120.0, 0}, Case{"1,5", 1.5, 1},
                          Case{"0.000", 0.0, 3}}) {
        const WorkbookCell cell = workbookCell(QString::fromLatin1(c.text));
        EXPECT_TRUE(cell.isNumber) << c.text;
        EXPECT_EQ(cell.number, c.number) << c.text;
        EXPECT_EQ(cell.decimals, c.decimals) << c.text;
    }
    const QString huge = QString(400, u'9');
    for (const QString& text :
         {QStringLiteral("-"), QStringLiteral(""), QStringLiteral("10kHz"),
          QStringLiteral("2012.01.01 02:17:26"), QStringLiteral("---.--.-- --:--:--"),
          QStringLiteral("+5"), QStringLiteral("007"), QStringLiteral(" 5"),
          QStringLiteral("12345678901234567890"), huge, QStringLiteral("m/s\u00B2")}) {
        const WorkbookCell cell = workbookCell(text);
        EXPECT_FALSE(cell.isNumber) << text.left(30).toStdString();
        EXPECT_EQ(cell.text, text);
    }
}

TEST(WorkbookBytes, oneSheetWithTheExportedLineBoldHeaderNumbersTextsAndEmptyCells) {
    const QList<QStringList> rows{
        {"1", "2012.01.01 02:17:26", "Acceleration", "RMS", "10.00", "g", "1.40", "1kHz"},
        {"2", "2012.02.31 00:00:00", "Velocity", "pk-pk", "147.0", QStringLiteral("m/s\u00B2"),
         "10.23", "10kHz"},
        {"3", "---.--.-- --:--:--", "-", "-", "-", QStringLiteral("\u00B0C"), "-", "-"},
        {"", "", "", "", "", "", "", ""},
        {"100", "2078.10.25 03:14:07", "Displacement", "B", "-0.390", QStringLiteral("\u00B5m"),
         "0.00", "5kHz"},
    };
    QString error;
    const std::optional<QByteArray> bytes = workbookBytes(kExportedAt, kHeaders, rows, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    QTemporaryDir dir;
    const ReadWorkbook book = readBack(dir, *bytes);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();

    EXPECT_EQ(book.sheets.size(), 1);
    EXPECT_EQ(book.freeze, "A3");
    EXPECT_EQ(book.rows, 7);
    expectText(book, "A1", "Exported 2026.12.07 16:51:34");
    for (const char* at : {"B1", "C1", "D1", "E1", "F1", "G1", "H1"})
        EXPECT_FALSE(book.cells.contains(at)) << at;
    const QStringList header{"Slot#",
                             "Timestamp",
                             "Measurement Mode",
                             "Calculation Mode",
                             "Measurement Value",
                             "Units",
                             "Crest Factor",
                             "Filter"};
    for (int col = 0; col < 8; ++col) {
        const QString at = QChar(u'A' + col) + QStringLiteral("2");
        expectText(book, at, header[col]);
        EXPECT_TRUE(book.cells.value(at).bold) << at.toStdString();
    }
    EXPECT_FALSE(book.cells.value("A3").bold);

    expectNumber(book, "A3", 1, "0");
    expectText(book, "B3", "2012.01.01 02:17:26");
    expectText(book, "C3", "Acceleration");
    expectNumber(book, "E3", 10, "0.00");
    expectNumber(book, "G3", 1.4, "0.00");
    expectText(book, "H3", "1kHz");
    expectText(book, "B4", "2012.02.31 00:00:00");
    expectNumber(book, "E4", 147, "0.0");
    expectText(book, "F4", QStringLiteral("m/s\u00B2"));
    expectNumber(book, "G4", 10.23, "0.00");
    expectText(book, "B5", "---.--.-- --:--:--");
    expectText(book, "E5", "-");
    expectText(book, "F5", QStringLiteral("\u00B0C"));
    for (const char* at : {"A6", "B6", "C6", "D6", "E6", "F6", "G6", "H6"})
        EXPECT_FALSE(book.cells.contains(at)) << at;
    expectNumber(book, "A7", 100, "0");
    expectNumber(book, "E7", -0.39, "0.000");
    expectText(book, "F7", QStringLiteral("\u00B5m"));
    expectNumber(book, "G7", 0, "0.00");
}

TEST(WorkbookBytes, everyColumnIsAtLeastAsWideAsItsLongestTextButNotMuchWider) {
    const QList<QStringList> rows{{"100", "2078.10.25 03:14:07", "Displacement", "pk-pk", "-0.390",
                                   "mm/s", "10.23", "10kHz"}};
    QString error;
    const std::optional<QByteArray> bytes = workbookBytes(kExportedAt, kHeaders, rows, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    QTemporaryDir dir;
    const ReadWorkbook book = readBack(dir, *bytes);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    // Longest text of each column, counted by hand: "Slot#", the timestamp, the one-line
    // headers, "Units", "Crest Factor", "Filter"; the "Exported" line does not count.
    const QMap<QString, int> longest{{"A", 5},  {"B", 19}, {"C", 16}, {"D", 16},
                                     {"E", 17}, {"F", 5},  {"G", 12}, {"H", 6}};
    for (auto it = longest.begin(); it != longest.end(); ++it) {
        EXPECT_GE(book.widths.value(it.key()), it.value()) << it.key().toStdString();
        EXPECT_LE(book.widths.value(it.key()), it.value() + 4) << it.key().toStdString();
    }
}

TEST(WorkbookBytes, aTextTooLongForACellFailsWithTheLibrarysReasonInsteadOfBeingCut) {
    QString error;
    const QList<QStringList> rows{{"1", QString(40000, u'x')}};
    EXPECT_FALSE(workbookBytes(kExportedAt, kHeaders, rows, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TableExport, theWorkbookFilterOrAnXlsxNameMakesAWorkbookAndEveryOtherNameCsv) {
    EXPECT_EQ(exportDialogFilter(),
              "Comma Separated Files (*.csv)|*.csv|Excel Workbook (*.xlsx)|*.xlsx");
    EXPECT_TRUE(exportsWorkbook("/tmp/a", 1));
    EXPECT_TRUE(exportsWorkbook("/tmp/a.csv", 1));
    EXPECT_TRUE(exportsWorkbook("/tmp/a.xlsx", 0));
    EXPECT_TRUE(exportsWorkbook("/tmp/A.XLSX", 0));
    EXPECT_FALSE(exportsWorkbook("/tmp/a.csv", 0));
    EXPECT_FALSE(exportsWorkbook("/tmp/a", 0));
    EXPECT_FALSE(exportsWorkbook("/tmp/a.xlsx.csv", 0));
    EXPECT_FALSE(exportsWorkbook("/tmp/xlsx", 0));
}

TEST(TableExport, aWorkbookReplacesAnExistingFileOnlyOnceItIsWritten) {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("week.xlsx"));
    {
        QFile earlier(name);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
    }
    TextTable table(101, 8);
    for (int col = 0; col < 8; ++col)
        table.setTextMatrix(0, col, kHeaders[col]);
    table.setTextMatrix(1, 1, QString(40000, u'x'));
    QString error;
    EXPECT_FALSE(writeTableExport(name, 0, kExportedAt, table, {1, 100}, &error));
    QFile kept(name);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "earlier");
    kept.close();

    table.setTextMatrix(1, 1, QStringLiteral("2012.01.01 02:17:26"));
    ASSERT_TRUE(writeTableExport(name, 0, kExportedAt, table, {1, 100}, &error))
        << error.toStdString();
    const ReadWorkbook book = readWorkbook(name);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.rows, 3); // rows 2 to 100 of the table are empty and leave no cells
    expectText(book, "B3", "2012.01.01 02:17:26");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"week.xlsx"}));
}
