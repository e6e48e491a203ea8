#include "PacketFramer.h"

#include <gtest/gtest.h>

TEST(PacketFramer, packetIsTheTextBeforeTheFirstSlashAndTheRestIsKept) {
    PacketFramer framer;
    framer.append("5,01/6,0");
    EXPECT_EQ(framer.takePacket(), QByteArray("5,01"));
    EXPECT_EQ(framer.takePacket(), std::nullopt);
    EXPECT_EQ(framer.comBuffer(), QByteArray("6,0"));
    framer.append("2/");
    EXPECT_EQ(framer.takePacket(), QByteArray("6,02"));
    EXPECT_TRUE(framer.comBuffer().isEmpty());
}

TEST(PacketFramer, severalPacketsComeOutInOrderIncludingEmptyOnes) {
    PacketFramer framer;
    framer.append("/1//2/3");
    EXPECT_EQ(framer.takePacket(), QByteArray(""));
    EXPECT_EQ(framer.takePacket(), QByteArray("1"));
    EXPECT_EQ(framer.takePacket(), QByteArray(""));
    EXPECT_EQ(framer.takePacket(), QByteArray("2"));
    EXPECT_EQ(framer.takePacket(), std::nullopt);
    EXPECT_EQ(framer.comBuffer(), QByteArray("3"));
}

TEST(PacketFramer, packetSplitAcrossManyAppendsIsWholeOnceTheSlashArrives) {
    PacketFramer framer;
    const QByteArray packet = "5,01,02,03,04,05,06,07,08,09,AA";
    for (char c : packet) {
        framer.append(QByteArray(1, c));
        EXPECT_EQ(framer.takePacket(), std::nullopt);
    }
    framer.append("/");
    EXPECT_EQ(framer.takePacket(), packet);
}

TEST(PacketFramer, clearDiscardsEverything) {
    PacketFramer framer;
    framer.append("1/2/3");
    framer.clear();
    EXPECT_EQ(framer.takePacket(), std::nullopt);
    EXPECT_TRUE(framer.comBuffer().isEmpty());
}

TEST(PacketFramer, unterminatedTextIsBoundedKeepingTheNewest) {
    PacketFramer framer;
    for (int i = 0; i < 100; ++i) {
        framer.append(QByteArray(1000, 'x'));
        ASSERT_LE(framer.comBuffer().size(), PacketFramer::kMaxPending);
    }
    framer.append("tail");
    EXPECT_EQ(framer.comBuffer().size(), PacketFramer::kMaxPending);
    EXPECT_TRUE(framer.comBuffer().endsWith("tail"));
}

TEST(PacketFramer, boundingKeepsCompletePacketsBeforeTheTail) {
    PacketFramer framer;
    framer.append("1,AA/2,BB/" + QByteArray(10 * PacketFramer::kMaxPending, '0'));
    EXPECT_EQ(framer.takePacket(), QByteArray("1,AA"));
    EXPECT_EQ(framer.takePacket(), QByteArray("2,BB"));
    EXPECT_EQ(framer.takePacket(), std::nullopt);
}

TEST(PacketFramer, aPacketCutByTheBoundIsSkippedWhenItsSlashArrives) {
    PacketFramer framer;
    framer.append(QByteArray(PacketFramer::kMaxPending + 10, '0'));
    framer.append("/7,01/");
    EXPECT_EQ(framer.takePacket(), QByteArray("7,01"));
    EXPECT_EQ(framer.takePacket(), std::nullopt);
}

TEST(PacketFramer, anOversizedPacketArrivingWholeIsSkipped) {
    PacketFramer framer;
    framer.append(QByteArray(PacketFramer::kMaxPending, '0') + "/8/");
    EXPECT_EQ(framer.takePacket(), QByteArray("8"));
    framer.append(QByteArray(PacketFramer::kMaxPending - 1, '0') + "/");
    EXPECT_EQ(framer.takePacket()->size(), PacketFramer::kMaxPending - 1);
}

TEST(PacketFramer, manyPacketsInOneLargeAppendAreAllTaken) {
    PacketFramer framer;
    QByteArray text;
    for (int i = 0; i < 200000; ++i)
        text += QByteArray::number(i % 101) + '/';
    framer.append(text);
    int taken = 0;
    while (const auto packet = framer.takePacket()) {
        ASSERT_EQ(*packet, QByteArray::number(taken % 101));
        ++taken;
    }
    EXPECT_EQ(taken, 200000);
    EXPECT_TRUE(framer.comBuffer().isEmpty());
}
