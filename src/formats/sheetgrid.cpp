#include "sheetgrid.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "platform/version.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdint>
#include <limits>

namespace qm {
namespace {

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min()
           && value <= std::numeric_limits<qint32>::max();
}

// The extent along one axis: a single column (row) ends one gap after its
// label, several end at the far edge of the last label.
qint64 extentOf(qint64 start, int count, qint64 size, qint64 gap)
{
    if (count > 1)
        return start + count * size + (count - 1) * gap;
    return start + size + gap;
}

QString withoutLineBreaks(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

} // namespace

qint32 mmTextToTenths(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    std::uint64_t wholeMm = 0;
    bool stopped = false;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        const std::uint64_t next = wholeMm * 10 + (text[i].unicode() - u'0');
        if (next * 10 > limit) {
            stopped = true;
            break;
        }
        wholeMm = next;
    }
    std::uint64_t tenths = wholeMm * 10;
    // The first decimal counts; the later ones only make a fraction of a
    // tenth, which is dropped.
    const bool separator = i < n && (text[i] == u'.' || text[i] == u',');
    if (!stopped && separator && i + 1 < n && text[i + 1] >= u'0' && text[i + 1] <= u'9') {
        const std::uint64_t withDecimal = tenths + (text[i + 1].unicode() - u'0');
        if (withDecimal <= limit)
            tenths = withDecimal;
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - tenths : tenths);
    return static_cast<qint32>(bits); // two's complement, well defined since C++20
}

QString tenthsToMmText(qint64 tenths)
{
    // The magnitude as unsigned, so that the smallest value has one too.
    const std::uint64_t magnitude = tenths < 0 ? 0 - static_cast<std::uint64_t>(tenths)
                                               : static_cast<std::uint64_t>(tenths);
    QString text = QString::number(magnitude / 10) + u'.' + QString::number(magnitude % 10);
    if (tenths < 0)
        text.prepend(u'-');
    return text.rightJustified(4, u' ');
}

QString realTenthsToMmText(double tenths)
{
    if (std::isnan(tenths))
        tenths = 0;
    const double rounded = std::round(tenths); // halves away from zero
    if (rounded >= 9.2e18)
        return tenthsToMmText(std::numeric_limits<qint64>::max());
    if (rounded <= -9.2e18)
        return tenthsToMmText(std::numeric_limits<qint64>::min());
    return tenthsToMmText(static_cast<qint64>(rounded));
}

SheetGrid sheetGridFromTexts(const GridTexts &texts)
{
    SheetGrid grid;
    grid.across = strToInt(texts.neben);
    grid.down = strToInt(texts.unter);
    grid.width = mmTextToTenths(texts.grx);
    grid.height = mmTextToTenths(texts.gry);
    grid.startX = mmTextToTenths(texts.startx);
    grid.startY = mmTextToTenths(texts.starty);
    grid.gapX = mmTextToTenths(texts.vorX);
    grid.gapY = mmTextToTenths(texts.vorY);
    return grid;
}

GridTexts gridTexts(const DerivedSheetGrid &grid)
{
    GridTexts t;
    t.grx = tenthsToMmText(grid.width);
    t.gry = tenthsToMmText(grid.height);
    t.neben = QString::number(grid.across);
    t.unter = QString::number(grid.down);
    t.startx = tenthsToMmText(grid.startX);
    t.starty = tenthsToMmText(grid.startY);
    t.vorX = realTenthsToMmText(grid.gapX);
    t.vorY = realTenthsToMmText(grid.gapY);
    return t;
}

GridTexts gridTexts(const SheetGrid &grid)
{
    // Whole tenths show the same through the real-valued form.
    return gridTexts(DerivedSheetGrid{grid.width, grid.height, grid.across, grid.down, grid.startX,
                                      grid.startY, double(grid.gapX), double(grid.gapY)});
}

qint64 labelCount(const SheetGrid &grid)
{
    const qint64 n = grid.across;
    const qint64 m = grid.down;
    if (n >= 1 && m > 1)
        return n * m;
    if (n > 1)
        return n;
    if (m <= 1)
        return 1;
    return 0;
}

SheetFormat sheetFormatFromGrid(const QString &description, const SheetGrid &grid)
{
    if (grid.across < 0)
        throw Error(QCoreApplication::translate(
                        "qm", "Die Anzahl nebeneinander darf nicht kleiner als 0 sein (%1).")
                        .arg(grid.across));
    if (grid.down < 0)
        throw Error(QCoreApplication::translate(
                        "qm", "Die Anzahl untereinander darf nicht kleiner als 0 sein (%1).")
                        .arg(grid.down));
    const qint64 labels = labelCount(grid);
    if (labels > MaxLabelPositions)
        throw Error(QCoreApplication::translate("qm",
                                                "Das Format ergibt %1 Etiketten auf einem Bogen. "
                                                "Es sind höchstens %2 möglich.")
                        .arg(labels)
                        .arg(MaxLabelPositions));

    // With counts of 0 or more and 32-bit lengths, 64 bits hold every sum.
    const qint64 width = extentOf(grid.startX, grid.across, grid.width, grid.gapX);
    const qint64 height = extentOf(grid.startY, grid.down, grid.height, grid.gapY);
    const int columns = grid.across > 1 ? grid.across : 1;
    const int rows = grid.down > 1 ? grid.down : 1;
    const qint64 lastX = grid.startX + qint64(columns - 1) * (qint64(grid.width) + grid.gapX);
    const qint64 lastY = grid.startY + qint64(rows - 1) * (qint64(grid.height) + grid.gapY);
    if (!fitsInt32(width) || !fitsInt32(height)
        || (labels > 0 && (!fitsInt32(lastX) || !fitsInt32(lastY))))
        throw Error(QCoreApplication::translate(
            "qm", "Die Maße des Formats sind zu groß. Bitte prüfen Sie Größe, Ränder und Abstände."));

    SheetFormat format;
    format.description = description;
    format.extentWidth = static_cast<qint32>(width);
    format.extentHeight = static_cast<qint32>(height);
    if (labels > 0) {
        for (int j = 1; j <= rows; ++j) {
            for (int i = 1; i <= columns; ++i) {
                LabelPosition p;
                p.x = static_cast<qint32>(grid.startX + qint64(i - 1) * grid.width
                                          + qint64(i - 1) * grid.gapX);
                p.y = static_cast<qint32>(grid.startY + qint64(j - 1) * grid.height
                                          + qint64(j - 1) * grid.gapY);
                p.width = grid.width;
                p.height = grid.height;
                format.positions.push_back(p);
            }
        }
        format.lastLabelWidth = grid.width;
        format.lastLabelHeight = grid.height;
    }
    return format;
}

QStringList vrlFileLines(const SheetFormat &format)
{
    QStringList lines;
    lines << QStringLiteral("** Formatdatei erstellt mit QUILLMARK 95 - Version")
                 + QLatin1StringView(kFileVersion);
    lines << QStringLiteral("NA,") + withoutLineBreaks(format.description);
    lines << QStringLiteral("GR,%1,%2").arg(format.extentWidth).arg(format.extentHeight);
    for (const LabelPosition &p : format.positions)
        lines << QStringLiteral("PO,%1,%2,%3,%4").arg(p.x).arg(p.y).arg(p.width).arg(p.height);
    return lines;
}

void VorlageSichern(const QString &path, const QString &description, const GridTexts &texts)
{
    const SheetFormat format = sheetFormatFromGrid(description, sheetGridFromTexts(texts));
    TextFileWriter writer(path);
    for (const QString &line : vrlFileLines(format))
        writer.writeLine(line);
    writer.commit();
}

DerivedSheetGrid deriveSheetGrid(const SheetFormat &format)
{
    DerivedSheetGrid grid;
    if (!format.positions.empty()) {
        const LabelPosition &first = format.positions.front();
        grid.startX = first.x;
        grid.startY = first.y;
        grid.width = first.width;
        grid.height = first.height;
    }

    int across = 0;
    int down = 0;
    qint32 maxX = -1;
    qint32 maxY = -1;
    for (const LabelPosition &p : format.positions) {
        if (p.x > maxX) {
            ++across;
            maxX = p.x;
        }
        if (p.y > maxY) {
            ++down;
            maxY = p.y;
        }
    }
    grid.across = across > 0 ? across : 1;
    grid.down = down > 0 ? down : 1;

    const qint64 restX = qint64(format.extentWidth) - grid.startX;
    const qint64 restY = qint64(format.extentHeight) - grid.startY;
    if (format.positionCount() == 1) {
        grid.gapX = 0;
        grid.gapY = double(restY - grid.height);
    } else {
        grid.gapX = grid.across > 1
                        ? double(restX - qint64(grid.across) * grid.width) / (grid.across - 1)
                        : double(restX - grid.width);
        grid.gapY = grid.down > 1
                        ? double(restY - qint64(grid.down) * grid.height) / (grid.down - 1)
                        : double(restY - grid.height);
    }
    return grid;
}

} // namespace qm
