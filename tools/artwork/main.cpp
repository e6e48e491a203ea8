// px417-artwork: draws the reader's two fixed pictures, the logo and the help page, into a
// folder. The help page holds pictures of the reader's own window, taken offscreen with a
// simulated meter, so it follows the window whenever it is redrawn.
//
// Regenerate after a change to the window (from the source tree, after a build):
//     QT_QPA_PLATFORM=offscreen build/tools/artwork/px417-artwork resources
// then rebuild, so the new pictures are compiled in. The same sources and fonts give the same
// files byte for byte.

#include "HelpPage.h"
#include "Logo.h"
#include "Palette.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QImageWriter>
#include <QTextStream>

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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: px417-artwork <output-dir>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists()) {
        std::fprintf(stderr, "px417-artwork: no such folder: %s\n", argv[1]);
        return 2;
    }
    const QFontInfo face(QFont(QStringLiteral("Calibri")));
    std::fprintf(stderr, "px417-artwork: window font drawn with %s\n", qPrintable(face.family()));

    const QImage logo = drawLogo();
    const QImage help = toIndexed8(drawHelpPage(takeHelpShots()));
    const bool ok = save(logo, out.filePath(QStringLiteral("logo.png"))) &&
                    save(help, out.filePath(QStringLiteral("help.png")));
    return ok ? 0 : 1;
}
