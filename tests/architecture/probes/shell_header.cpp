#include "qt/PortAccess.h"
int probe() {
    return portaccess::groupFix(QString()).size();
}
