#include "printermapping.h"

#include <QPainter>

#include <algorithm>
#include <climits>

namespace qm {

void mapUnitsPerCentimetre(
    QPainter &painter, int unitsPerCm, int dpiX, int dpiY, double scaleX, double scaleY, QPoint origin)
{
    // Formed in 64 bits and held to what the painter takes: a print scale
    // beyond that is refused before printing, but must not overflow here.
    const int window = static_cast<int>(std::clamp<qint64>(qint64(unitsPerCm) * 254, 1, INT_MAX));
    painter.setWindow(0, 0, window, window);
    painter.setViewport(origin.x(), origin.y(), qRound(100.0 * dpiX * scaleX), qRound(100.0 * dpiY * scaleY));
}

QPoint dotsOfTenths(int tenthsX, int tenthsY, int dpiX, int dpiY)
{
    // 254 tenths of a millimetre to the inch.
    return QPoint(qRound(tenthsX * double(dpiX) / 254.0), qRound(tenthsY * double(dpiY) / 254.0));
}

} // namespace qm
