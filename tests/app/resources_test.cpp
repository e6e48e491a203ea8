#include "Fakes.h"
#include "Form1.h"
#include "LogoImage.h"

#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

const QString kHelp = QStringLiteral(":/px417/help.png");

// Every pixel of a row is white.
bool rowIsWhite(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255))
            return false;
    return true;
}

} // namespace

TEST(Resources, logoIs160By33In24BitColourOnWhite) {
    const QImage logo = logoimage::load();
    ASSERT_FALSE(logo.isNull());
    EXPECT_EQ(logo.size(), QSize(160, 33));
    EXPECT_FALSE(logo.hasAlphaChannel());
    EXPECT_FALSE(logo.isGrayscale());
    // It stands on the window's white, with the wordmark drawn in.
    EXPECT_EQ(logo.pixel(logo.width() - 1, 0), qRgb(255, 255, 255));
    EXPECT_TRUE(rowIsWhite(logo, 0));
    bool drawn = false;
    for (int y = 0; y < logo.height(); ++y)
        drawn = drawn || !rowIsWhite(logo, y);
    EXPECT_TRUE(drawn);
}

TEST(Resources, rawLogoRowsRoundTripAndRejectOtherSizes) {
    QImage image(160, 33, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x, y * 7, (x * y) % 256));
    const QByteArray raw = logoimage::toRaw(image);
    ASSERT_EQ(raw.size(), 160 * 33 * 3);
    // Red, green, blue of the pixel at (2, 1).
    EXPECT_EQ(raw.mid((1 * 160 + 2) * 3, 3), QByteArray("\x02\x07\x02", 3));
    EXPECT_EQ(logoimage::fromRaw(raw), image);

    EXPECT_TRUE(logoimage::toRaw(QImage(161, 33, QImage::Format_RGB888)).isEmpty());
    EXPECT_TRUE(logoimage::fromRaw(raw.chopped(1)).isNull());
}

TEST(Resources, helpPictureIs730By2489WithAtMost256ColoursOnWhite) {
    QImageReader reader(kHelp);
    ASSERT_TRUE(reader.canRead()) << qPrintable(reader.errorString());
    EXPECT_EQ(reader.imageFormat(), QImage::Format_Indexed8);
    const QImage help = reader.read();
    ASSERT_FALSE(help.isNull());
    EXPECT_EQ(help.size(), QSize(730, 2489));
    EXPECT_EQ(help.format(), QImage::Format_Indexed8);
    EXPECT_GT(help.colorCount(), 2);
    EXPECT_LE(help.colorCount(), 256);
    EXPECT_TRUE(rowIsWhite(help, 0));
    EXPECT_TRUE(rowIsWhite(help, help.height() - 1));
    // Drawn content, not an empty sheet.
    EXPECT_FALSE(rowIsWhite(help, 40));
}

TEST(Resources, theWindowShowsBothPicturesAtTheirSize) {
    FakeSerialPort port;
    FakeDeviceList devices;
    FakeDialogs dialogs;
    FixedClock clock;
    FakeProgram program;
    Form1 form(port, devices, dialogs, clock, program, 15.0);
    EXPECT_EQ(form.picture1().pixmap().size(), QSize(160, 33));
    auto* help = qobject_cast<QLabel*>(&form.pHelp(1));
    ASSERT_NE(help, nullptr);
    form.C_Help_Click(); // the help bitmap is loaded when the page is first shown
    EXPECT_EQ(help->pixmap().size(), QSize(730, 2489));
    // The logo fits its box of 2400 x 600 twips.
    EXPECT_LE(form.picture1().pixmap().width(), form.picture1().width());
    EXPECT_LE(form.picture1().pixmap().height(), form.picture1().height());
}
