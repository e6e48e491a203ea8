// px417-artwork: draws the reader's two fixed pictures, the logo and the help page, into a
// folder. The help page holds pictures of the reader's own window, taken offscreen with a
// simulated meter, so it follows the window whenever it is redrawn.
//
// Regenerate after a change to the window (from the source tree, after a build):
//     QT_QPA_PLATFORM=offscreen build/tools/artwork/px417-artwork resources
// then rebuild, so the new pictures are compiled in. The help page shows the window with its
// logo, so after a change to the logo run it once more after the rebuild. The same sources and
// fonts give the same files byte for byte.
//
// Screenshots of the help page as the window shows it, on a real display (e.g. under Xvfb):
//     build/tools/artwork/px417-artwork --screenshot docs/images/help-top.png top
//     build/tools/artwork/px417-artwork --screenshot docs/images/help-bottom.png bottom

#include "HelpPage.h"
#include "Logo.h"
#include "Palette.h"
#include "WindowShots.h"
#include "app/Form1.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QImageWriter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QThread>

#include <cstdio>

namespace {

bool save(const QImage& image, const QString& path) {
    QImageWriter writer(path, "png");
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "px417-artwork: cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

// Shows the window with a filled table, clicks "Help", scrolls to the end when asked and takes
// the screen's picture of the window.
int screenshot(const QString& path, bool bottom) {
    WindowShots shots;
    shots.feedRest();
    shots.form().cHelp().click();
    if (bottom)
        shots.form().vsHelp().triggerAction(QAbstractSlider::SliderToMaximum);
    // Give the display server time to draw.
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(50);
    }
    QScreen* screen = shots.form().screen();
    const QRect frame = shots.form().frameGeometry();
    const QImage image =
        screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    return save(image, path) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--screenshot")
        return screenshot(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]) == "bottom");
    if (argc != 2) {
        std::fprintf(stderr, "usage: px417-artwork <output-dir>\n"
                             "       px417-artwork --screenshot <png> top|bottom\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists()) {
        std::fprintf(stderr, "px417-artwork: no such folder: %s\n", argv[1]);
        return 2;
    }
    const QFontInfo face(QFont(QStringLiteral("Calibri")));
    std::fprintf(stderr, "px417-artwork: window font drawn with %s\n", qPrintable(face.family()));

    const QImage help = toIndexed8(drawHelpPage(takeHelpShots()));
    const bool ok = save(drawLogo(), out.filePath(QStringLiteral("logo.png"))) &&
                    save(drawLogo(2), out.filePath(QStringLiteral("logo@2x.png"))) &&
                    save(help, out.filePath(QStringLiteral("help.png")));
    return ok ? 0 : 1;
}
