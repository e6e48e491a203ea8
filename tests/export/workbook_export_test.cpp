#include "MemHeaders.h"
#include "WorkbookReader.h"
#include "export/WorkbookExport.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

const QDateTime kExportedAt(QDate(2026, 12, 7), QTime(16, 51, 34));

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

TEST(WorkbookBytes, emptyTextsLeaveCellsEmptyAndColumnsFitTheirLongestText) {
    const QList<QStringList> rows{{"", "", "", "", "", "", "", ""},
                                  {"100", "2078.10.25 03:14:07", "Displacement", "pk-pk", "-0.390",
                                   "mm/s", "10.23", "10kHz"}};
    QString error;
    const std::optional<QByteArray> bytes = workbookBytes(kExportedAt, kMemHeaders, rows, &error);
    ASSERT_TRUE(bytes) << error.toStdString();
    QTemporaryDir dir;
    const ReadWorkbook book = readBack(dir, *bytes);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();

    EXPECT_EQ(book.rows, 4);
    for (const char* at :
         {"B1", "C1", "D1", "E1", "F1", "G1", "H1", "A3", "B3", "C3", "D3", "E3", "F3", "G3", "H3"})
        EXPECT_FALSE(book.cells.contains(at)) << at;
    EXPECT_EQ(book.cells.value("E4").type, "n");
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
    EXPECT_FALSE(workbookBytes(kExportedAt, kMemHeaders, rows, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(WorkbookBytes, numbersStayReadableWhereTheProcessWritesDecimalsWithAComma) {
    // What the toolkit makes of a German desktop's environment.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr) << "scripts/setup.sh makes it";
    const std::optional<QByteArray> bytes =
        workbookBytes(kExportedAt, kMemHeaders, {{"1", "", "", "", "0.120"}}, nullptr);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "de_DE.UTF-8") << "the setting is restored";
    std::setlocale(LC_NUMERIC, saved.c_str());
    ASSERT_TRUE(bytes);
    QTemporaryDir dir;
    const ReadWorkbook book = readBack(dir, *bytes);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();
    EXPECT_EQ(book.cells.value("E3").value.toDouble(), 0.12);
}
