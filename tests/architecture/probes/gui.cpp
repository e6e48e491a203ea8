#include <QtGui/QImage>
int probe() {
    return sizeof(QImage);
}
