#pragma once

#include <QPoint>

class QPainter;

namespace qm {

// Maps `unitsPerCm` logical units to one centimetre on a device with the
// given resolution, equally long across and down. U * 254 units are 100
// inches, a whole number of device dots, so the mapping stays exact in the
// whole numbers the painter takes. `origin` is where logical (0, 0) lies in
// device dots.
void mapUnitsPerCentimetre(QPainter &painter, int unitsPerCm, int dpiX, int dpiY, double scaleX = 1.0,
    double scaleY = 1.0, QPoint origin = QPoint());

// The device dots of a point (tenthsX, tenthsY) tenths of a millimetre from
// the device's origin, for `origin` above.
QPoint dotsOfTenths(int tenthsX, int tenthsY, int dpiX, int dpiY);

} // namespace qm
