#include "grid/GridState.h"

#include <QString>

int probe() {
    GridState grid(2, 2);
    grid.setTextMatrix(1, 1, QStringLiteral("x"));
    return grid.textMatrix(1, 1).size();
}
