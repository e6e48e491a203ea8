// Every entry of every lookup table decides a row text. The records and their texts were worked
// out by hand from the record layout; each value sits next to a rounding step of its display,
// so the divisor one count larger (or smaller, as noted) would change the text, and so would
// any other gain or another mode's calibration factor.
#include "DecodeTestSupport.h"
#include "decode/DecodeMemory.h"

#include <gtest/gtest.h>

namespace {

struct HandDecoded {
    const char* decides;
    RecordBytes bytes;
    std::array<quint16, 3> words;     // calibration words 0 to 2, K(i) = word - 500
    std::array<const char*, 7> texts; // Timestamp to Filter
};

void PrintTo(const HandDecoded& c, std::ostream* os) {
    *os << c.decides;
}

QString calibrationText(const std::array<quint16, 3>& words) {
    QString text = QStringLiteral("100");
    for (const quint16 word : words)
        text += QStringLiteral(",%1,%2")
                    .arg(word & 0xFF, 2, 16, QChar(u'0'))
                    .arg(word >> 8, 2, 16, QChar(u'0'));
    // Words 3 to 5 are not used for scaling.
    return text + QStringLiteral(",F4,01,F4,01,F4,01,00");
}

class HandDecodedRecord : public ::testing::TestWithParam<HandDecoded> {};

TEST_P(HandDecodedRecord, showsTheWorkedOutTexts) {
    const HandDecoded& c = GetParam();
    GridState slotTable = makeSlotTable();
    putRecord(slotTable, 1, c.bytes);
    putRecord(slotTable, 100, c.bytes);
    slotTable.setTextMatrix(101, 10, calibrationText(c.words));
    GridState mem(101, 8);
    decodeMemory(slotTable, mem);

    QStringList expected;
    for (const char* text : c.texts)
        expected << QString::fromUtf8(text);
    for (const int row : {1, 100}) {
        QStringList shown;
        for (int col = 1; col < 8; ++col)
            shown << mem.textMatrix(row, col);
        EXPECT_EQ(mem.textMatrix(row, 0), QString::number(row));
        EXPECT_EQ(shown, expected) << "row " << row;
    }
}

// Q = A·K·(1000/gain)/divisor, then three significant digits.
INSTANTIATE_TEST_SUITE_P(
    EveryTableEntry, HandDecodedRecord,
    ::testing::Values(
        // Q = 4066·394·(1000/200)/4183 = 1914.90; 4184 would show 1.910.
        HandDecoded{
            "m/s2 divisor up, gain 200",
            {1, 0, 0, 0, 226, 15, 140, 0, 7},
            {894, 904, 914},
            {"2012.01.01 00:00:01", "Acceleration", "RMS", "1.920", "m/s²", "1.40", "1kHz"}},
        // Q = 3201·13·(1000/1)/4183 = 9948.12; 4182 would show 10.00.
        HandDecoded{
            "m/s2 divisor down, gain 1",
            {255, 42, 60, 2, 129, 12, 255, 7, 8},
            {513, 523, 533},
            {"2013.02.31 23:59:59", "Acceleration", "pk-pk", "9.950", "m/s²", "10.23", "5kHz"}},
        // Q = 2038·4001·(1000/2)/40995 = 99451.62; 40996 would show 99.40.
        HandDecoded{"g divisor up, gain 2",
                    {72, 221, 98, 14, 246, 7, 255, 40, 17},
                    {4501, 4511, 4521},
                    {"2019.07.04 12:30:00", "Acceleration", "0-pk", "99.50", "g", "2.55", "10kHz"}},
        // Q = 4026·1033·(1000/100)/40995 = 1014.48; 40994 would show 1.020.
        HandDecoded{"g divisor down, gain 100",
                    {133, 36, 191, 24, 186, 15, 0, 45, 6},
                    {1533, 1543, 1553},
                    {"2024.12.01 07:45:09", "Acceleration", "B", "1.010", "g", "2.56", "1kHz"}},
        // Q = 3986·29·(1000/50)/2301 = 1004.73; 2302 would show 1.000.
        HandDecoded{"mm/s divisor up, gain 50",
                    {25, 57, 76, 25, 146, 31, 0, 66, 13},
                    {549, 529, 539},
                    {"2025.03.15 08:02:33", "Velocity", "RMS", "1.010", "mm/s", "5.12", "5kHz"}},
        // Q = 4088·28·(1000/5)/2301 = 9949.07; 2300 would show 10.00.
        HandDecoded{"mm/s divisor down, gain 5",
                    {2, 251, 247, 35, 248, 31, 100, 68, 18},
                    {548, 528, 538},
                    {"2030.10.10 10:10:10", "Velocity", "pk-pk", "9.950", "mm/s", "1.00", "10kHz"}},
        // Q = 4077·144·(1000/10)/58445 = 1004.51; 58446 would show 1.000.
        HandDecoded{"in/s divisor up, gain 10",
                    {45, 80, 243, 67, 237, 31, 231, 107, 3},
                    {664, 644, 654},
                    {"2047.06.20 16:00:45", "Velocity", "0-pk", "1.010", "in/s", "9.99", "1kHz"}},
        // Q = 3966·299·(1000/20)/58445 = 1014.49; 58444 would show 1.020.
        HandDecoded{"in/s divisor down, gain 20",
                    {0, 0, 0, 128, 126, 31, 1, 108, 12},
                    {819, 799, 809},
                    {"2078.10.25 03:14:08", "Velocity", "B", "1.010", "in/s", "0.01", "5kHz"}},
        // Q = 3987·32·(1000/100)/1270 = 1004.60; 1271 would show 1.000.
        HandDecoded{"um divisor up, gain 100",
                    {77, 67, 192, 145, 147, 47, 0, 128, 22},
                    {542, 552, 532},
                    {"2088.01.31 01:01:01", "Displacement", "RMS", "1.010", "µm", "0.00", "10kHz"}},
        // Q = 4089·618·(1000/200)/1270 = 9948.83; 1269 would show 10.00.
        HandDecoded{
            "um divisor down, gain 200",
            {255, 207, 149, 168, 249, 47, 131, 133, 7},
            {1128, 1138, 1118},
            {"2099.12.31 23:59:59", "Displacement", "pk-pk", "9.950", "µm", "3.87", "1kHz"}},
        // Q = 4046·793·(1000/1)/32246 = 99500.03; 32247 would show 99.50.
        HandDecoded{
            "mils divisor up, gain 1",
            {181, 94, 156, 28, 206, 47, 0, 171, 8},
            {1303, 1313, 1293},
            {"2026.12.07 16:05:09", "Displacement", "0-pk", "100.0", "mils", "7.68", "5kHz"}},
        // Q = 4059·399·(1000/50)/32246 = 1004.49; 32245 would show 1.010.
        HandDecoded{
            "mils divisor down, gain 50",
            {78, 140, 126, 7, 219, 47, 88, 174, 21},
            {909, 919, 899},
            {"2015.11.30 06:06:06", "Displacement", "B", "1.000", "mils", "6.00", "10kHz"}}));

} // namespace
