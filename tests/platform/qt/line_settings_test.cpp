#include "LineSettings.h"
#include "QtSerialPort.h"

#include <gtest/gtest.h>

TEST(LineSettings, readsTheMeterLineAndOtherWellFormedTexts) {
    const auto meter = LineSettings::parse("9600,N,8,1");
    ASSERT_TRUE(meter.has_value());
    EXPECT_EQ(meter->baudRate, 9600);
    EXPECT_EQ(meter->parity, LineSettings::Parity::None);
    EXPECT_EQ(meter->dataBits, 8);
    EXPECT_EQ(meter->stopBits, LineSettings::StopBits::One);

    const auto other = LineSettings::parse(" 115200 , e , 7 , 2 ");
    ASSERT_TRUE(other.has_value());
    EXPECT_EQ(other->baudRate, 115200);
    EXPECT_EQ(other->parity, LineSettings::Parity::Even);
    EXPECT_EQ(other->dataBits, 7);
    EXPECT_EQ(other->stopBits, LineSettings::StopBits::Two);

    const auto half = LineSettings::parse("300,O,5,1.5");
    ASSERT_TRUE(half.has_value());
    EXPECT_EQ(half->parity, LineSettings::Parity::Odd);
    EXPECT_EQ(half->dataBits, 5);
    EXPECT_EQ(half->stopBits, LineSettings::StopBits::OneAndHalf);

    EXPECT_EQ(LineSettings::parse("1200,M,6,1")->parity, LineSettings::Parity::Mark);
    EXPECT_EQ(LineSettings::parse("1200,s,6,1")->parity, LineSettings::Parity::Space);
}

TEST(LineSettings, writesBackTheFormItReads) {
    for (const char* text :
         {"9600,N,8,1", "115200,E,7,2", "300,O,5,1.5", "1200,M,6,1", "2400,S,8,2"}) {
        const auto settings = LineSettings::parse(text);
        ASSERT_TRUE(settings.has_value()) << text;
        EXPECT_EQ(settings->toString(), QString::fromLatin1(text));
        EXPECT_EQ(LineSettings::parse(settings->toString()), settings);
    }
}

TEST(LineSettings, refusesMalformedText) {
    for (const char* text : {"",
                             "9600",
                             "9600,N,8",
                             "9600,N,8,1,1",
                             ",N,8,1",
                             "abc,N,8,1",
                             "0,N,8,1",
                             "-9600,N,8,1",
                             "+9600,N,8,1",
                             "9600.5,N,8,1",
                             "0x2580,N,8,1",
                             "99999999999,N,8,1",
                             "9600,,8,1",
                             "9600,X,8,1",
                             "9600,NN,8,1",
                             "9600,N,4,1",
                             "9600,N,9,1",
                             "9600,N,,1",
                             "9600,N,8,0",
                             "9600,N,8,3",
                             "9600,N,8,1.0",
                             "9600,N,8,",
                             "9600;N;8;1"}) {
        EXPECT_FALSE(LineSettings::parse(text).has_value()) << '"' << text << '"';
    }
}

TEST(LineSettings, portKeepsItsSettingsWhenGivenBadText) {
    QtSerialPort port([](int) { return QString(); });
    ASSERT_TRUE(port.setSettings("4800,E,7,2"));
    EXPECT_FALSE(port.setSettings("9600,N,8"));
    EXPECT_EQ(port.settings().toString(), QStringLiteral("4800,E,7,2"));
}
