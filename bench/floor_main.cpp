// The toolkit's floor for start-up: a Widgets program that shows one empty window of the
// reader's size and nothing else. With --text the window also shows one line in the reader's
// font, which is what any window with text pays on top of the floor (the system's font
// configuration, one face, one line of glyphs).
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.setFixedSize(976, 458);
    if (argc > 1 && std::strcmp(argv[1], "--text") == 0) {
        auto* line = new QLabel(QStringLiteral("Ready"), &window);
        QFont font(QStringLiteral("Calibri"));
        font.setPointSizeF(9.75);
        line->setFont(font);
        line->setGeometry(788, 92, 137, 16);
    }
    window.show();
    return QApplication::exec();
}
