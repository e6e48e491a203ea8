// The toolkit's floor for start-up: a Widgets program that shows one empty window of the
// reader's size and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("floor"));
    window.setFixedSize(976, 458);
    window.show();
    return QApplication::exec();
}
