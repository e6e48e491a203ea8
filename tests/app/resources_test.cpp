#include "Fakes.h"
#include "app/Form1.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QString kHelp = QStringLiteral(":/px417/help.png");
const QString kLogo = QStringLiteral(":/px417/logo.png");

// Every pixel of a row is white.
bool rowIsWhite(const QImage& image, int y) {
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != qRgb(255, 255, 255))
            return false;
    return true;
}

} // namespace

TEST(Resources, logoIsA160By33PngIn24BitColourOnWhite) {
    QFile file(kLogo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray png = file.readAll();
    // The PNG signature, then the header chunk: width and height big-endian, bit depth 8 and
    // colour type 2 (red, green, blue, no alpha, no palette).
    ASSERT_GE(png.size(), 26);
    EXPECT_EQ(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.mid(12, 4), QByteArray("IHDR"));
    EXPECT_EQ(png.mid(16, 8), QByteArray("\0\0\0\xa0\0\0\0\x21", 8));
    EXPECT_EQ(png.at(24), 8);
    EXPECT_EQ(png.at(25), 2);

    const QImage logo(kLogo);
    ASSERT_FALSE(logo.isNull());
    EXPECT_EQ(logo.size(), QSize(160, 33));
    EXPECT_FALSE(logo.hasAlphaChannel());
    EXPECT_FALSE(logo.isGrayscale());
    // It stands on the window's white, with the wordmark drawn in.
    EXPECT_TRUE(rowIsWhite(logo, 0));
    bool drawn = false;
    for (int y = 0; y < logo.height(); ++y)
        drawn = drawn || !rowIsWhite(logo, y);
    EXPECT_TRUE(drawn);
}

// Sharp at 200%: drawn at twice the size, not the small picture scaled up, yet brought down
// to 1x it looks as the small one does but for anti-aliased edges.
TEST(Resources, logoForScreensAt200PercentIsTheSamePictureAtTwiceTheSize) {
    const QImage small = QImage(kLogo).convertToFormat(QImage::Format_RGB888);
    const QImage large = QImage(QStringLiteral(":/px417/logo@2x.png"));
    ASSERT_EQ(large.size(), QSize(320, 66));
    EXPECT_FALSE(large.hasAlphaChannel());
    EXPECT_NE(large.convertToFormat(small.format()), small.scaled(large.size()));
    const QImage reduced =
        large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(small.format());
    double difference = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x)
            difference += std::abs(qGray(small.pixel(x, y)) - qGray(reduced.pixel(x, y)));
    // Anti-aliased edges differ by about 7 grey levels on average; the logo moved by two pixels
    // differs by about 31, and a blank picture by about 51.
    EXPECT_LT(difference / (small.width() * small.height()), 15.0);
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
    Form1 form(port, devices, dialogs, clock, program, 15.0, QLocale::c());
    EXPECT_EQ(form.picture1().pixmap().size(), QSize(160, 33));
    auto* help = qobject_cast<QLabel*>(&form.pHelp(1));
    ASSERT_NE(help, nullptr);
    form.C_Help_Click(); // the help bitmap is loaded when the page is first shown
    EXPECT_EQ(help->pixmap().size(), QSize(730, 2489));
    // The logo fits its box of 2400 x 600 twips.
    EXPECT_LE(form.picture1().pixmap().width(), form.picture1().width());
    EXPECT_LE(form.picture1().pixmap().height(), form.picture1().height());
}
