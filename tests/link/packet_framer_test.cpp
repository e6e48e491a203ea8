#include "link/PacketFramer.h"

#include <gtest/gtest.h>

TEST(PacketFramer, packetsComeOutInOrderAndTheUnterminatedRestIsKept) {
    PacketFramer framer;
    framer.append("/1//2,0");
    framer.append("5/3");
    for (const QByteArray expected : {"", "1", "", "2,05"})
        EXPECT_EQ(framer.takePacket(), expected);
    EXPECT_EQ(framer.takePacket(), std::nullopt);
    EXPECT_EQ(framer.comBuffer(), "3");
    framer.clear();
    EXPECT_TRUE(framer.comBuffer().isEmpty());
}

TEST(PacketFramer, unterminatedTextKeepsOnlyTheNewestBytes) {
    PacketFramer framer;
    framer.append("1,AA/");
    for (int i = 0; i < 100; ++i)
        framer.append(QByteArray(1000, 'x'));
    framer.append("tail");
    EXPECT_EQ(framer.takePacket(), "1,AA");
    EXPECT_EQ(framer.comBuffer().size(), PacketFramer::kMaxPending);
    EXPECT_TRUE(framer.comBuffer().endsWith("tail"));
}

TEST(PacketFramer, overlongPacketsAreSkippedWholeOrCut) {
    PacketFramer framer;
    framer.append(QByteArray(PacketFramer::kMaxPending + 10, '0'));
    framer.append("/7/" + QByteArray(PacketFramer::kMaxPending, '0') + "/8/");
    EXPECT_EQ(framer.takePacket(), "7");
    EXPECT_EQ(framer.takePacket(), "8");
    framer.append(QByteArray(PacketFramer::kMaxPending - 1, '0') + "/");
    EXPECT_EQ(framer.takePacket()->size(), PacketFramer::kMaxPending - 1);
}
