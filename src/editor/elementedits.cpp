#include "elementedits.h"

#include <algorithm>
#include <cstdlib>

namespace qm {

bool hasSecondGrip(QChar kind)
{
    return kind == ElementKind::Line || kind == ElementKind::Rectangle || kind == ElementKind::RoundRectangle
        || kind == ElementKind::Ellipse || kind == ElementKind::Bitmap || kind == ElementKind::Barcode;
}

QPoint firstGrip(const Element &element)
{
    return { element.number(Col::X1), element.number(Col::Y1) };
}

QPoint secondGrip(const Element &element)
{
    return { element.number(Col::X2), element.number(Col::Y2) };
}

namespace {

constexpr int BoxSlack = 2;

bool within(QPoint grip, QPoint p)
{
    return p.x() - GripReach < grip.x() && grip.x() < p.x() + GripReach && p.y() - GripReach < grip.y()
        && grip.y() < p.y() + GripReach;
}

QString shifted(const Element &element, int column, int by)
{
    return QString::number(static_cast<qint64>(element.number(column)) + by);
}

} // namespace

GripHit findGrip(const Design &design, QPoint p)
{
    for (int row = 1; row <= design.count(); ++row) {
        const Element &e = design.element(row);
        if (e.kind == ElementKind::Deleted)
            continue;
        if (within(firstGrip(e), p))
            return { row, false };
        if (hasSecondGrip(e.kind) && within(secondGrip(e), p))
            return { row, true };
    }
    return {};
}

QRect elementBox(const Element &element)
{
    const QChar kind = element.kind;
    if (hasSecondGrip(kind)) {
        const QPoint a = firstGrip(element), b = secondGrip(element);
        return QRect(QPoint(std::min(a.x(), b.x()), std::min(a.y(), b.y())),
            QPoint(std::max(a.x(), b.x()), std::max(a.y(), b.y())));
    }
    if (kind != ElementKind::Text && kind != ElementKind::Field && kind != ElementKind::Serial)
        return {};
    QString text;
    if (kind == ElementKind::Text)
        text = element.cell(Col::Text);
    else if (kind == ElementKind::Field)
        text = element.cell(Col::FieldName) + u'[' + element.cell(Col::FieldSize) + u']';
    else
        text = element.cell(Col::TextBefore) + QStringLiteral("######") + element.cell(Col::TextAfter);
    const qint64 height = std::llabs(static_cast<qint64>(element.number(Col::Height)));
    const int h = static_cast<int>(std::clamp<qint64>(height, 1, 10000));
    const int w = static_cast<int>(std::clamp<qint64>(text.size() * height / 2, 1, 100000));
    const QPoint p = firstGrip(element);
    switch (element.number(Col::Rotation)) {
    case 0:
        return { p.x(), p.y(), w, h };
    case 90:
        return { p.x(), p.y() - w, h, w };
    case 180:
        return { p.x() - w, p.y() - h, w, h };
    case 270:
        return { p.x() - h, p.y(), h, w };
    default:
        return {};
    }
}

int findElementAt(const Design &design, QPoint p)
{
    for (int row = design.count(); row >= 1; --row) {
        // A little slack, so that a line can be hit too.
        const QRect box = elementBox(design.element(row));
        if (!box.isEmpty() && box.adjusted(-BoxSlack, -BoxSlack, BoxSlack, BoxSlack).contains(p))
            return row;
    }
    return -1;
}

int millimetreStep(int position, int direction)
{
    const qint64 from = position;
    qint64 mm = from * 2 / 5; // near the mark at or around `position`
    if (direction > 0) {
        while (mmToUnits(mm) > from)
            --mm;
        while (mmToUnits(mm) <= from)
            ++mm;
    } else {
        while (mmToUnits(mm) < from)
            ++mm;
        while (mmToUnits(mm) >= from)
            --mm;
    }
    return static_cast<int>(mmToUnits(mm) - from);
}

Element movedElement(const Element &element, int dx, int dy)
{
    Element moved = element;
    const QChar kind = element.kind;
    if (hasSecondGrip(kind)) {
        moved.cells[Col::X1] = shifted(element, Col::X1, dx);
        moved.cells[Col::Y1] = shifted(element, Col::Y1, dy);
        moved.cells[Col::X2] = shifted(element, Col::X2, dx);
        moved.cells[Col::Y2] = shifted(element, Col::Y2, dy);
    } else if (kind == ElementKind::Text || kind == ElementKind::Field || kind == ElementKind::Serial) {
        moved.cells[Col::X] = shifted(element, Col::X, dx);
        moved.cells[Col::Y] = shifted(element, Col::Y, dy);
    }
    return moved;
}

Element repointedElement(const Element &element, bool second, QPoint to)
{
    Element changed = element;
    changed.cells[second ? Col::X2 : Col::X1] = QString::number(to.x());
    changed.cells[second ? Col::Y2 : Col::Y1] = QString::number(to.y());
    return changed;
}

QString positionText(int designUnits)
{
    // units x 0.04 cm; the first decimal is Trunc(units x 0.4) mod 10.
    const qint64 tenths = static_cast<qint64>(designUnits) * 2 / 5;
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    const qint64 magnitude = std::llabs(tenths);
    return sign + QString::number(magnitude / 10) + u',' + QString::number(magnitude % 10);
}

} // namespace qm
