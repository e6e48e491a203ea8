#include <QtSerialPort/QSerialPort>
int probe() {
    return sizeof(QSerialPort);
}
