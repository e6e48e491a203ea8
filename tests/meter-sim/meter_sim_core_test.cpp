#include "MeterMemory.h"

#include <gtest/gtest.h>

#include <QList>
#include <QRegularExpression>

#include <algorithm>

using namespace metersim;

namespace {

QList<QByteArray> packetsOf(const QByteArray& text) {
    QList<QByteArray> pieces = text.split('/');
    EXPECT_TRUE(pieces.last().isEmpty()) << "text after the last \"/\"";
    pieces.removeLast();
    return pieces;
}

int slotOf(const QByteArray& packet) {
    return packet.split(',').first().toInt();
}

bool allTwoHexDigits(const QList<QByteArray>& fields, const char* pattern) {
    const QRegularExpression hex(QString::fromLatin1(pattern));
    return std::all_of(fields.begin(), fields.end(), [&](const QByteArray& f) {
        return hex.match(QString::fromLatin1(f)).hasMatch();
    });
}

quint32 timeOf(const MeterRecord& r) {
    return r[0] | (quint32(r[1]) << 8) | (quint32(r[2]) << 16) | (quint32(r[3]) << 24);
}

template <typename Change> DownloadFaults withFaults(Change change) {
    DownloadFaults faults;
    change(faults);
    return faults;
}

} // namespace

TEST(MeterTime, countsTwelveMonthsOfThirtyOneDaysFrom2012) {
    EXPECT_EQ(meterTime(2012, 1, 1, 2, 17, 26), 8246u);
    EXPECT_EQ(meterTime(2012, 1, 31, 0, 0, 0), 2592000u);
    EXPECT_EQ(meterTime(2012, 2, 31, 0, 0, 0), 5270400u);
    EXPECT_EQ(meterTime(2012, 12, 31, 23, 59, 59), 32140799u);
    EXPECT_EQ(meterTime(2078, 10, 25, 3, 14, 7), 2147483647u);
}

TEST(MeterPackets, recordPacketHasElevenUpperCaseHexFieldsAndACheckByte) {
    const MeterRecord record{0x36, 0x20, 0x00, 0x00, 0xAD, 0x0A, 0x8C, 0x20, 0x00};
    EXPECT_EQ(recordPacket(0, record), QByteArray("0,36,20,00,00,AD,0A,8C,20,00,B9"));
    EXPECT_EQ(recordPacket(99, record, true), QByteArray("99,36,20,00,00,ad,0a,8c,20,00,b9"));
}

TEST(MeterPackets, calibrationPacketCarriesSixWordsLowByteFirst) {
    const QByteArray packet = calibrationPacket({515, 0x1234, 500, 0xFFFF, 0, 513});
    EXPECT_EQ(packet, QByteArray("100,03,02,34,12,F4,01,FF,FF,00,00,01,02,41"));
    EXPECT_GE(packet.split(',').size(), 13);
}

TEST(MeterPackets, cleanDownloadSendsEverySlotOnceInOrder) {
    const MeterMemory memory = makeMeterMemory(7);
    const QList<QByteArray> packets = packetsOf(downloadText(memory));
    ASSERT_EQ(packets.size(), 101);
    for (int slot = 0; slot < kRecordSlots; ++slot) {
        const QList<QByteArray> fields = packets[slot].split(',');
        ASSERT_EQ(fields.size(), 11) << packets[slot].constData();
        EXPECT_EQ(fields[0].toInt(), slot);
        EXPECT_TRUE(allTwoHexDigits(fields.mid(1), "^[0-9A-F]{2}$")) << packets[slot].constData();
        for (int k = 0; k < kRecordBytes; ++k)
            EXPECT_EQ(fields[k + 1].toInt(nullptr, 16), memory.records[slot][k]);
    }
    EXPECT_EQ(packets[100], calibrationPacket(memory.calibrationWords));
}

TEST(MeterPackets, lowercaseFaultSendsLowerCaseHexOnly) {
    const QByteArray text =
        downloadText(makeMeterMemory(3), withFaults([](DownloadFaults& f) { f.lowercase = true; }));
    for (const QByteArray& packet : packetsOf(text))
        EXPECT_TRUE(allTwoHexDigits(packet.split(',').mid(1), "^[0-9a-f]{2}$")) << packet.data();
    EXPECT_TRUE(QString::fromLatin1(text).contains(QRegularExpression("[a-f]")));
}

TEST(MeterPackets, slotFaultsDropTruncateAndDuplicate) {
    const MeterMemory memory = makeMeterMemory(11);
    DownloadFaults faults;
    faults.dropSlots = {57};
    faults.truncateSlots = {12, 100};
    faults.duplicateSlots = {40};
    const QList<QByteArray> packets = packetsOf(downloadText(memory, faults));
    ASSERT_EQ(packets.size(), 101); // one dropped, one doubled

    QList<int> sentSlots;
    for (const QByteArray& p : packets)
        sentSlots.append(slotOf(p));
    EXPECT_FALSE(sentSlots.contains(57));
    EXPECT_EQ(sentSlots.count(40), 2);
    const qsizetype first40 = sentSlots.indexOf(40);
    EXPECT_EQ(packets[first40], packets[first40 + 1]);

    const QByteArray truncated12 = packets[sentSlots.indexOf(12)];
    EXPECT_LT(truncated12.split(',').size(), 11);
    EXPECT_TRUE(recordPacket(12, memory.records[12]).startsWith(truncated12));
    EXPECT_LT(packets.last().split(',').size(), 13);
    EXPECT_EQ(slotOf(packets.last()), 100);
}

TEST(MeterPackets, stopAfterEndsTheDownloadEarly) {
    const QList<QByteArray> packets = packetsOf(
        downloadText(makeMeterMemory(1), withFaults([](DownloadFaults& f) { f.stopAfter = 42; })));
    ASSERT_EQ(packets.size(), 43);
    EXPECT_EQ(slotOf(packets.last()), 42);
}

TEST(MeterPackets, junkComesBeforePacketsAndNeverEndsOne) {
    const MeterMemory memory = makeMeterMemory(5);
    const QList<QByteArray> packets =
        packetsOf(downloadText(memory, withFaults([](DownloadFaults& f) { f.junk = true; })));
    ASSERT_EQ(packets.size(), 101);
    int noisy = 0;
    for (int slot = 0; slot <= kCalibrationSlot; ++slot) {
        const QByteArray clean = slot == kCalibrationSlot
                                     ? calibrationPacket(memory.calibrationWords)
                                     : recordPacket(slot, memory.records[slot]);
        ASSERT_TRUE(packets[slot].endsWith(clean)) << packets[slot].constData();
        const QByteArray noise = packets[slot].chopped(clean.size());
        EXPECT_FALSE(noise.contains(',')) << noise.constData();
        EXPECT_FALSE(
            std::any_of(noise.begin(), noise.end(), [](char c) { return c >= '0' && c <= '9'; }));
        noisy += noise.isEmpty() ? 0 : 1;
    }
    EXPECT_FALSE(packets[0].startsWith('0'));
    EXPECT_GT(noisy, 1);
}

TEST(MeterMemoryData, sameSeedSameMemoryOtherSeedOtherMemory) {
    const MeterMemory a = makeMeterMemory(9);
    EXPECT_EQ(a.records, makeMeterMemory(9).records);
    EXPECT_EQ(a.calibrationWords, makeMeterMemory(9).calibrationWords);
    EXPECT_NE(a.records, makeMeterMemory(10).records);
}

TEST(MeterMemoryData, coversEveryModeUnitGainFilterAndCrestRangeWithTwoTemperatures) {
    for (const quint32 seed : {0u, 1u, 417u, 123456789u}) {
        SCOPED_TRACE(seed);
        const MeterMemory memory = makeMeterMemory(seed);
        QSet<int> modes, calculations, units, gains, filters;
        int lowestCrest = 1024, highestCrest = -1, temperatures = 0;
        for (const MeterRecord& r : memory.records) {
            const int mode = (r[5] >> 4) & 3;
            const int unit = r[7] >> 5;
            const int crest = (r[6] | (r[7] << 8)) & 1023;
            EXPECT_EQ(mode, unit / 2) << "unit does not belong to its mode";
            EXPECT_EQ(r[5] & 0xC0, 0);
            EXPECT_EQ(r[7] & 0x10, 0);
            modes.insert(mode);
            units.insert(unit);
            temperatures += unit >= 6 ? 1 : 0;
            calculations.insert((r[7] >> 2) & 3);
            gains.insert(r[8] & 7);
            filters.insert(r[8] >> 3);
            lowestCrest = std::min(lowestCrest, crest);
            highestCrest = std::max(highestCrest, crest);
            const int reading = (r[4] | (r[5] << 8)) & 4095;
            EXPECT_GT(reading, 0);
        }
        EXPECT_EQ(modes, (QSet<int>{0, 1, 2, 3}));
        EXPECT_EQ(units, (QSet<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(temperatures, 2);
        EXPECT_EQ(calculations, (QSet<int>{0, 1, 2, 3}));
        EXPECT_EQ(gains, (QSet<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(filters, (QSet<int>{0, 1, 2}));
        EXPECT_EQ(lowestCrest, 100);
        EXPECT_EQ(highestCrest, 1000);
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(memory.calibrationWords[i] - 500, 13);
            EXPECT_LE(memory.calibrationWords[i] - 500, 17);
        }
    }
}

TEST(MeterMemoryData, timestampsFormOneWorkingWeekInSlotOrder) {
    constexpr quint32 kDay = 86400;
    for (const quint32 seed : {0u, 2u, 417u}) {
        SCOPED_TRACE(seed);
        const MeterMemory memory = makeMeterMemory(seed);
        const quint32 first = timeOf(memory.records.front());
        const quint32 firstDay = first / kDay;
        for (int slot = 0; slot < kRecordSlots; ++slot) {
            const quint32 t = timeOf(memory.records[slot]);
            if (slot > 0) {
                EXPECT_GT(t, timeOf(memory.records[slot - 1]));
            }
            const quint32 hour = (t % kDay) / 3600;
            EXPECT_GE(hour, 7u);
            EXPECT_LT(hour, 18u);
            EXPECT_LT(t / kDay - firstDay, 5u);
            // Within one meter month: the week does not run past day 31.
            EXPECT_EQ(t / (31 * kDay), first / (31 * kDay));
        }
        const int year = 2012 + int(first / meterTime(2013, 1, 1, 0, 0, 0));
        EXPECT_GE(year, 2023);
        EXPECT_LE(year, 2025);
    }
}
