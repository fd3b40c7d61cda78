#include "printermapping.h"

#include <QPainter>

namespace qm {

void mapUnitsPerCentimetre(
    QPainter &painter, int unitsPerCm, int dpiX, int dpiY, double scaleX, double scaleY, QPoint origin)
{
    const int window = unitsPerCm * 254;
    painter.setWindow(0, 0, window, window);
    painter.setViewport(origin.x(), origin.y(), qRound(100 * dpiX * scaleX), qRound(100 * dpiY * scaleY));
}

} // namespace qm
