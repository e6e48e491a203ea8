// The workbook export from the real window, after a download through the real reception and
// decoder, read back with openpyxl.
#include "Download.h"
#include "Files.h"
#include "Rig.h"
#include "WorkbookReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Calibration words 650, 65535 and 0: K = 150 for acceleration, 65035 for velocity and -500
// for displacement.
constexpr CalibrationWords kCalibration{650, 65535, 0, 500, 500, 500};

// Slots 0 to 6 show every number format and the texts that stay text; the other slots
// repeat slot 0. Values worked out by hand in the comments: Q = A * K * (1000 / G) / D.
QByteArray workedDownload() {
    const char* const records[] = {
        // 2012.01.01 02:17:26, A 2733, g (D 40995), G 1: Q = 10000 -> 10.00; crest 1.40
        "36,20,00,00,AD,0A,8C,20,00",
        // gain 10: Q = 1000 -> 1.000; pk-pk, crest 0.00, 5kHz
        "36,20,00,00,AD,0A,00,24,0B",
        // 2012.02.31, A 4095, m/s² (D 4183): Q = 146844.4 -> 147.0; 0-pk, crest 10.23, 10kHz
        "80,6B,50,00,FF,0F,FF,0B,10",
        // 2013.01.01, velocity, A 100, µm (D 1270): Q = 5120866.1 -> 5120; B, crest 2.50
        "00,6E,EA,01,64,10,FA,8C,00",
        // displacement, A 1, µm: Q = -393.7 -> -394 -> -0.390
        "00,00,00,00,01,20,00,80,00",
        // °C has no divisor: value "-"; crest 1.00
        "00,00,00,00,00,00,64,C0,00",
        // a time past 2099: placeholder timestamp and "-" everywhere else
        "FF,FF,FF,FF,00,00,00,00,00",
    };
    return downloadOf(
        [&records](int slot) { return recordFromHex(QLatin1String(records[slot < 7 ? slot : 0])); },
        kCalibration);
}

struct Downloaded : Rig {
    Downloaded() : Rig({kMeter181}) {
        form->Form_Load();
        port.receive(workedDownload());
    }
    // Exports with the save dialog answered by name and the filter left at filterIndex.
    void exportTo(int button, const QString& name, int filterIndex) {
        dialogs.saveAnswers = {name};
        dialogs.filterAnswer = filterIndex;
        form->C_Export_Click(button);
    }
};

const QByteArray kZipMagic("PK\x03\x04", 4);

void expectNumber(const ReadWorkbook& book, const char* at, double value, const char* format) {
    const ReadWorkbook::Cell cell = book.cells.value(at);
    EXPECT_EQ(cell.type, "n") << at;
    EXPECT_DOUBLE_EQ(cell.value.toDouble(), value) << at;
    EXPECT_EQ(cell.format, format) << at;
}

void expectTexts(const ReadWorkbook& book, int row, const QStringList& texts) {
    for (int col = 0; col < texts.size(); ++col) {
        if (texts[col].isNull())
            continue; // a number, checked on its own
        const QString at = QChar(u'A' + col) + QString::number(row);
        EXPECT_EQ(book.cells.value(at).type, "s") << at.toStdString();
        EXPECT_EQ(book.text(at), texts[col]) << at.toStdString();
    }
}

} // namespace

TEST(Form1Workbook, allRowsOfADownloadReadBackAsNumbersWithTheirDecimalsAndUnicodeTexts) {
    Downloaded rig;
    QTemporaryDir dir;
    const QString name = dir.filePath("week"); // the filter decides; no extension is added
    rig.exportTo(0, name, 1);
    ASSERT_TRUE(rig.dialogs.boxes.empty()) << rig.dialogs.boxes[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(name + ".xlsx"));
    const ReadWorkbook book = readWorkbook(name);
    ASSERT_TRUE(book.error.isEmpty()) << book.error.toStdString();

    EXPECT_EQ(book.sheets.size(), 1);
    EXPECT_EQ(book.rows, 102);
    EXPECT_EQ(book.freeze, "A3");
    EXPECT_EQ(book.text("A1"), "Exported 2027.02.01 21:05:03");
    expectTexts(book, 2,
                {"Slot#", "Timestamp", "Measurement Mode", "Calculation Mode", "Measurement Value",
                 "Units", "Crest Factor", "Filter"});
    for (const char* at : {"A2", "B2", "C2", "D2", "E2", "F2", "G2", "H2"})
        EXPECT_TRUE(book.cells.value(at).bold) << at;
    EXPECT_FALSE(book.cells.value("B3").bold);
    const QString n; // a number in expectTexts

    expectTexts(book, 3, {n, "2012.01.01 02:17:26", "Acceleration", "RMS", n, "g", n, "1kHz"});
    expectNumber(book, "A3", 1, "0");
    expectNumber(book, "E3", 10, "0.00");
    expectNumber(book, "G3", 1.4, "0.00");

    expectTexts(book, 4, {n, "2012.01.01 02:17:26", "Acceleration", "pk-pk", n, "g", n, "5kHz"});
    expectNumber(book, "E4", 1, "0.000");
    expectNumber(book, "G4", 0, "0.00");

    expectTexts(book, 5,
                {n, "2012.02.31 00:00:00", "Acceleration", "0-pk", n, "m/s\u00B2", n, "10kHz"});
    expectNumber(book, "E5", 147, "0.0");
    expectNumber(book, "G5", 10.23, "0.00");

    expectTexts(book, 6, {n, "2013.01.01 00:00:00", "Velocity", "B", n, "\u00B5m", n, "1kHz"});
    expectNumber(book, "E6", 5120, "0");
    expectNumber(book, "G6", 2.5, "0.00");

    expectTexts(book, 7,
                {n, "2012.01.01 00:00:00", "Displacement", "RMS", n, "\u00B5m", n, "1kHz"});
    expectNumber(book, "E7", -0.39, "0.000");

    expectTexts(book, 8,
                {n, "2012.01.01 00:00:00", "Acceleration", "RMS", "-", "\u00B0C", n, "1kHz"});
    expectNumber(book, "G8", 1, "0.00");

    expectTexts(book, 9, {n, "---.--.-- --:--:--", "-", "-", "-", "-", "-", "-"});
    expectNumber(book, "A9", 7, "0");

    expectNumber(book, "A102", 100, "0");
    expectNumber(book, "E102", 10, "0.00");
}

TEST(Form1Workbook, theFilterOrAnXlsxNameGivesAWorkbookAndEveryOtherNameTheSameCsv) {
    Downloaded rig;
    QTemporaryDir dir;
    rig.exportTo(0, dir.filePath("a.XLSX"), 0);
    rig.exportTo(0, dir.filePath("b"), 1);
    rig.exportTo(0, dir.filePath("c.csv"), 0);
    rig.exportTo(0, dir.filePath("d"), 0);
    // A typed ".csv" is a CSV file even with the workbook filter chosen.
    rig.exportTo(0, dir.filePath("e.CSV"), 1);
    EXPECT_TRUE(rig.dialogs.boxes.empty());
    EXPECT_TRUE(fileBytes(dir.filePath("a.XLSX")).startsWith(kZipMagic));
    EXPECT_TRUE(fileBytes(dir.filePath("b")).startsWith(kZipMagic));
    for (const char* csv : {"c.csv", "d", "e.CSV"}) {
        const QByteArray bytes = fileBytes(dir.filePath(csv));
        EXPECT_TRUE(bytes.startsWith("Exported 2027.02.01 21:05:03,,,,,,\r\nSlot#,")) << csv;
        EXPECT_TRUE(bytes.contains("\r\n3,2012.02.31 00:00:00,Acceleration,0-pk,147.0,m/s\xB2,"
                                   "10.23,10kHz\r\n"))
            << csv;
        EXPECT_EQ(bytes.count("\r\n"), 102) << csv;
    }
}
