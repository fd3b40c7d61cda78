#pragma once

#include "designs/design.h"

#include <QPoint>
#include <QRect>

namespace qm {

// The geometric edits of one element row, in design units. Numeric cells
// are read strictly: a cell that is not a whole number throws ConvertError
// and nothing is changed.

// Whether the kind has a second grip point (lines, rectangles, rounded
// rectangles, ellipses, bitmaps and barcodes).
bool hasSecondGrip(QChar kind);

// The first grip point: x1, y1 or the reference point x, y (the same cells).
QPoint firstGrip(const Element &element);
// The second grip point x2, y2 of L, R, O and B.
QPoint secondGrip(const Element &element);

// A grip point grabbed by a press.
struct GripHit
{
    int row = -1; // 1-based, -1 for none
    bool second = false; // the second grip point was grabbed
};

// The grip point under the design point p: rows are scanned from 1 on and
// the first hit counts, a row's first point before its second. A point is
// hit when it lies strictly less than GripReach units from p on both axes.
// Deleted rows (#) have no grip points.
inline constexpr int GripReach = 12;
GripHit findGrip(const Design &design, QPoint p);

// The box an element covers, in design units (right and bottom included):
// the two grip points of L, R, O, B and C; for T, F and S an estimate from
// the reference point, the height cell and the number of characters (half
// the height per character), turned by a rotation of 0, 90, 180 or 270
// degrees. Empty for deleted rows and other rotations.
QRect elementBox(const Element &element);

// The last row (drawn on top) whose box, widened by two units on each side,
// contains p, or -1.
int findElementAt(const Design &design, QPoint p);

// The shift from `position` to the next millimetre mark above it
// (direction 1) or below it (direction -1); the marks lie at Trunc(mm x 2.5)
// design units: 0, 2, 5, 7, 10 ...
int millimetreStep(int position, int direction);

// The element moved by (dx, dy): both points of L, R, O and B, the
// reference point of T, F and S. Other kinds stay as they are.
Element movedElement(const Element &element, int dx, int dy);

// The element with its first or second grip point set to `to`.
Element repointedElement(const Element &element, bool second, QPoint to);

// The pointer's position in centimetres with one decimal, truncated:
// design unit 118 gives "4,7", -8 gives "-0,3".
QString positionText(int designUnits);

} // namespace qm
