#include "design.h"

#include "platform/errors.h"
#include "platform/numbers.h"

#include <QCoreApplication>

#include <algorithm>

namespace qm {

QColor DruckFarbe(int index)
{
    if (!isColourIndex(index))
        return QColor(Qt::black);
    return QColor::fromRgb(ColourTable[static_cast<size_t>(index)]);
}

bool picturesByField(const Element &e)
{
    return e.kind == ElementKind::Bitmap
        && (!e.cells[Col::PictureField].isEmpty() || !e.cells[Col::PictureRecord].isNull());
}

int lastColumnOf(QChar kind)
{
    switch (kind.unicode()) {
    case u'L':
    case u'R':
    case u'O':
    case u'E':
        return Col::PenColour;
    case u'B':
        return Col::Path;
    case u'T':
        return Col::Text;
    case u'F':
        return Col::FieldSize;
    case u'S':
        return Col::TextAfter;
    case u'C':
        return Col::BarcodeSize;
    case u'#':
        return 0;
    default:
        return ElementColumns - 1;
    }
}

QString Element::cell(int column) const
{
    if (column == 0)
        return kind.isNull() ? QString() : QString(kind);
    if (column < 0 || column >= ElementColumns)
        return {};
    return cells[static_cast<size_t>(column)];
}

void Element::setCell(int column, const QString &value)
{
    if (column == 0)
        kind = value.isEmpty() ? QChar() : value.front();
    else if (column > 0 && column < ElementColumns)
        cells[static_cast<size_t>(column)] = value;
}

int Element::number(int column) const
{
    return strToInt(cell(column));
}

QStringList Element::row() const
{
    QStringList out;
    out.reserve(ElementColumns);
    out.append(cell(0));
    const int last = lastColumnOf(kind);
    for (int c = 1; c <= last; ++c)
        out.append(cells[static_cast<size_t>(c)]);
    return out;
}

QString Design::defaultDescription()
{
    return QCoreApplication::translate("qm", "keine Beschreibung");
}

int sizeMmValue(const QString &text)
{
    return text.isEmpty() ? 0 : strToInt(text);
}

qint64 sizeTenthsValue(const QString &text)
{
    if (text.isEmpty())
        return 0;
    const qsizetype mark = std::max(text.indexOf(u','), text.indexOf(u'.'));
    if (mark < 0)
        return static_cast<qint64>(strToInt(text)) * 10;
    const QStringView whole = QStringView(text).left(mark);
    const QStringView tenth = QStringView(text).mid(mark + 1);
    if (whole.isEmpty() || tenth.size() != 1 || !tenth.front().isDigit() || tenth.front().unicode() > u'9')
        throw ConvertError(text);
    const qint64 mm = strToInt(whole);
    return mm * 10 + (whole.front() == u'-' ? -1 : 1) * (tenth.front().unicode() - u'0');
}

qint64 sizeUnitsValue(const QString &text)
{
    // Trunc(tenths x 0.25); for whole millimetres the same as mmToUnits().
    return sizeTenthsValue(text) / 4;
}

bool sizeIsOnGrid(const QString &text)
{
    return sizeTenthsValue(text) % 4 == 0;
}

QString sizeTextOfUnits(qint64 units)
{
    // A unit is 0.4 mm, four tenths: every size has at most one decimal.
    const qint64 tenths = units * 4;
    const qint64 magnitude = tenths < 0 ? -tenths : tenths;
    const QString whole = QString::number(magnitude / 10);
    const QString sign = tenths < 0 ? QStringLiteral("-") : QString();
    if (magnitude % 10 == 0)
        return sign + whole;
    return sign + whole + u',' + QString::number(magnitude % 10);
}

QString sizeTextOnGrid(const QString &text)
{
    return sizeTextOfUnits(sizeUnitsValue(text));
}

qint64 Design::widthUnits() const
{
    return sizeUnitsValue(widthMm);
}

qint64 Design::heightUnits() const
{
    return sizeUnitsValue(heightMm);
}

int Design::widthMmValue() const
{
    return sizeMmValue(widthMm);
}

int Design::heightMmValue() const
{
    return sizeMmValue(heightMm);
}

} // namespace qm
