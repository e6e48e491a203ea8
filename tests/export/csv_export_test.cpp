#include "export/CsvExport.h"

#include "MemHeaders.h"
#include "grid/GridState.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kExportedAt(QDate(2026, 12, 7), QTime(16, 51, 34));

const QByteArray kFirstLines = "Exported 2026.12.07 16:51:34,,,,,,\r\n"
                               "Slot#,Timestamp,Measurement Mode,Calculation Mode,"
                               "Measurement Value,Units,Crest Factor,Filter\r\n";

// The measurement table as laid out, header row filled and data rows empty.
GridState laidOutTable() {
    GridState table(101, 8);
    for (int col = 0; col < 8; ++col)
        table.setTextMatrix(0, col, kMemHeaders[col]);
    return table;
}

TEST(Windows1252, unitSignsAndWesternLettersAreSingleBytes) {
    EXPECT_EQ(toWindows1252(QStringLiteral("m/s\u00B2 \u00B5m \u00B0C \u00B0F")),
              QByteArray("m/s\xB2 \xB5m \xB0"
                         "C \xB0"
                         "F"));
    EXPECT_EQ(toWindows1252(QStringLiteral("\u00E9\u00FF\u00A0")), QByteArray("\xE9\xFF\xA0"));
}

TEST(Windows1252, specialsOfTheHighControlRangeAreMapped) {
    EXPECT_EQ(toWindows1252(QStringLiteral("\u20AC\u201A\u0192\u2026\u2122\u0178\u017E\u0152")),
              QByteArray("\x80\x82\x83\x85\x99\x9F\x9E\x8C"));
}

TEST(Windows1252, charactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
    // C1 controls, an undefined code point, Cyrillic, CJK, an emoji (surrogate pair) and a lone
    // surrogate.
    QString text = QStringLiteral("a\u0081\u008D\u0416\u4E2D") + QString::fromUcs4(U"\U0001F600");
    text += QChar(0xD800);
    text += u'z';
    EXPECT_EQ(toWindows1252(text), QByteArray("a??????z"));
}

TEST(CsvBytes, firstTwoLinesCarryTheTimeAndOneLineHeaders) {
    EXPECT_EQ(csvBytes(kExportedAt, kMemHeaders, {}), kFirstLines);
    const QByteArray morning = csvBytes(QDateTime(QDate(2013, 1, 2), QTime(3, 4, 5)), {}, {});
    EXPECT_TRUE(morning.startsWith("Exported 2013.01.02 03:04:05,,,,,,\r\n,,,,,,,\r\n"));
}

TEST(CsvBytes, fullExportOfDecodedRowsWithEveryUnit) {
    const QList<QStringList> rows{
        {"1", "2012.01.01 02:17:26", "Acceleration", "RMS", "1.000", "g", "1.40", "1kHz"},
        {"2", "2026.03.04 08:15:00", "Acceleration", "pk-pk", "12.30", QStringLiteral("m/s\u00B2"),
         "3.25", "5kHz"},
        {"3", "2026.03.04 08:16:00", "Velocity", "0-pk", "4.560", "mm/s", "2.00", "10kHz"},
        {"4", "2026.03.04 08:17:00", "Velocity", "B", "0.180", "in/s", "10.23", "1kHz"},
        {"5", "2026.03.04 08:18:00", "Displacement", "RMS", "123.0", QStringLiteral("\u00B5m"),
         "1.00", "5kHz"},
        {"6", "2026.03.04 08:19:00", "Displacement", "RMS", "4.850", "mils", "1.10", "1kHz"},
        {"7", "2026.03.04 08:20:00", "Acceleration", "RMS", "-0.010", QStringLiteral("\u00B0C"),
         "1.20", "1kHz"},
        {"8", "2026.03.04 08:21:00", "Acceleration", "RMS", "0.000", QStringLiteral("\u00B0F"),
         "1.30", "1kHz"},
        {"9", "---.--.-- --:--:--", "-", "-", "0.000", "-", "-", "-"},
    };
    const QByteArray expected = kFirstLines +
                                "1,2012.01.01 02:17:26,Acceleration,RMS,1.000,g,1.40,1kHz\r\n"
                                "2,2026.03.04 08:15:00,Acceleration,pk-pk,12.30,m/s\xB2,3.25,"
                                "5kHz\r\n"
                                "3,2026.03.04 08:16:00,Velocity,0-pk,4.560,mm/s,2.00,10kHz\r\n"
                                "4,2026.03.04 08:17:00,Velocity,B,0.180,in/s,10.23,1kHz\r\n"
                                "5,2026.03.04 08:18:00,Displacement,RMS,123.0,\xB5m,1.00,5kHz\r\n"
                                "6,2026.03.04 08:19:00,Displacement,RMS,4.850,mils,1.10,1kHz\r\n"
                                "7,2026.03.04 08:20:00,Acceleration,RMS,-0.010,\xB0"
                                "C,1.20,1kHz\r\n"
                                "8,2026.03.04 08:21:00,Acceleration,RMS,0.000,\xB0"
                                "F,1.30,1kHz\r\n"
                                "9,---.--.-- --:--:--,-,-,0.000,-,-,-\r\n";
    EXPECT_EQ(csvBytes(kExportedAt, kMemHeaders, rows), expected);
}

TEST(CsvBytes, shortOrLongRowsAreWrittenWithEightFields) {
    const QByteArray bytes = csvBytes(kExportedAt, kMemHeaders.mid(0, 2),
                                      {{"1", "2"}, {"a", "b", "c", "d", "e", "f", "g", "h", "i"}});
    EXPECT_EQ(bytes, QByteArray("Exported 2026.12.07 16:51:34,,,,,,\r\n"
                                "Slot#,Timestamp,,,,,,\r\n"
                                "1,2,,,,,,\r\n"
                                "a,b,c,d,e,f,g,h\r\n"));
}

TEST(TableCsvBytes, exportAllOfAnEmptyTableGivesOneHundredLinesOfSevenCommas) {
    const GridState table = laidOutTable();
    QByteArray expected = kFirstLines;
    for (int i = 0; i < 100; ++i)
        expected += ",,,,,,,\r\n";
    EXPECT_EQ(tableCsvBytes(kExportedAt, table, exportRange(0, 0, 0)), expected);
}

TEST(TableCsvBytes, selectionWritesItsRowsTopToBottom) {
    GridState table = laidOutTable();
    for (int row = 1; row <= 100; ++row) {
        for (int col = 0; col < 8; ++col)
            table.setTextMatrix(row, col, QStringLiteral("r%1c%2").arg(row).arg(col));
    }
    const auto line = [](int row) {
        return QStringLiteral("r%1c0,r%1c1,r%1c2,r%1c3,r%1c4,r%1c5,r%1c6,r%1c7\r\n")
            .arg(row)
            .toLatin1();
    };

    EXPECT_EQ(tableCsvBytes(kExportedAt, table, exportRange(1, 42, 42)), kFirstLines + line(42));

    QByteArray upward = kFirstLines;
    for (int row = 4; row <= 9; ++row)
        upward += line(row);
    EXPECT_EQ(tableCsvBytes(kExportedAt, table, exportRange(1, 9, 4)), upward);

    QByteArray fromHeader = kFirstLines + line(1) + line(2) + line(3);
    EXPECT_EQ(tableCsvBytes(kExportedAt, table, exportRange(1, 3, 0)), fromHeader);
}

} // namespace
