// Compares a sheet as the printer spooled it with the same sheet printed
// into a PDF file, both rendered to greyscale images at the same resolution:
//
//   comparesheets REFERENCE.pgm PRINTED.pgm FORMAT.vrl DPI OFFSET_X OFFSET_Y
//
// OFFSET_X and OFFSET_Y (points) are where the printer's printable area
// begins on its page: the printed sheet is expected that far to the right
// and down. Per label of the format the ink inside the label (less 1 mm at
// each edge, where the frames are) must cover the same box, and the pages
// must match pixel for pixel but for a one-pixel seam. Prints what it
// measured; exit code 0 when the sheets agree.
#include "formats/sheetformat.h"

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QTextStream>

#include <cstdio>

namespace {

bool isInk(const QImage &image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
}

QRect inkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (isInk(image, x, y))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

// Ink pixels of `a` with no ink of `b` within one pixel, b moved by `shift`.
int unmatched(const QImage &a, const QImage &b, QPoint shift, int *inkCount)
{
    int missing = 0;
    *inkCount = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!isInk(a, x, y))
                continue;
            ++*inkCount;
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy) {
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = isInk(b, x + shift.x() + dx, y + shift.y() + dy);
            }
            if (!found)
                ++missing;
        }
    }
    return missing;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() != 7) {
        out << "Aufruf: comparesheets REFERENZ.pgm GEDRUCKT.pgm FORMAT.vrl DPI VERSATZ_X VERSATZ_Y\n";
        return 2;
    }
    const QImage reference(args[1]);
    const QImage printed(args[2]);
    qm::SheetFormat format;
    if (reference.isNull() || printed.isNull() || !qm::FormatdateiLesen(args[3], format)) {
        out << "cannot read the images or the format\n";
        return 2;
    }
    const int dpi = args[4].toInt();
    const QPoint expectedShift(qRound(args[5].toDouble() * dpi / 72), qRound(args[6].toDouble() * dpi / 72));
    const auto pixels = [dpi](int tenths) { return qRound(tenths * dpi / 254.0); };
    const int seam = 2;
    bool ok = true;

    const QRect refInk = inkBounds(reference, reference.rect());
    const QRect printedInk = inkBounds(printed, printed.rect());
    if (refInk.isNull() || printedInk.isNull()) {
        out << "FAIL: a page without ink (reference " << refInk.isNull() << ", printed "
            << printedInk.isNull() << ")\n";
        return 1;
    }
    const QPoint shift = printedInk.topLeft() - refInk.topLeft();
    out << "pages " << reference.width() << "x" << reference.height() << " and " << printed.width() << "x"
        << printed.height() << " px at " << dpi << " dpi; ink moved by " << shift.x() << "," << shift.y()
        << " px, the printable area begins at " << expectedShift.x() << "," << expectedShift.y() << " px\n";
    if ((shift - expectedShift).manhattanLength() > seam) {
        out << "FAIL: the printed sheet is not where the printable area begins\n";
        ok = false;
    }

    int labels = 0;
    int worstEdge = 0;
    const int margin = pixels(10);
    for (const qm::LabelPosition &p : format.positions) {
        const QRect cell(QPoint(pixels(p.x) + margin, pixels(p.y) + margin),
            QPoint(pixels(p.x + p.width) - margin, pixels(p.y + p.height) - margin));
        const QRect a = inkBounds(reference, cell);
        const QRect b = inkBounds(printed, cell.translated(shift)).translated(-shift);
        if (a.isNull() != b.isNull()) {
            out << "FAIL: label at " << p.x << "," << p.y << " printed on one sheet only\n";
            ok = false;
            continue;
        }
        if (a.isNull())
            continue;
        ++labels;
        const int edge = std::max({ std::abs(a.left() - b.left()), std::abs(a.top() - b.top()),
            std::abs(a.right() - b.right()), std::abs(a.bottom() - b.bottom()) });
        worstEdge = std::max(worstEdge, edge);
        if (edge > seam) {
            out << "FAIL: label at " << p.x << "," << p.y << ": ink " << a.x() << "," << a.y() << " "
                << a.width() << "x" << a.height() << " in the PDF, " << b.x() << "," << b.y() << " "
                << b.width() << "x" << b.height() << " printed\n";
            ok = false;
        }
    }
    int refCount = 0;
    int printedCount = 0;
    const int missing = unmatched(reference, printed, shift, &refCount);
    const int extra = unmatched(printed, reference, -shift, &printedCount);
    const double missingShare = 100.0 * missing / std::max(1, refCount);
    const double extraShare = 100.0 * extra / std::max(1, printedCount);
    out << labels << " labels with ink; largest edge difference " << worstEdge << " px; ink " << refCount
        << " px in the PDF, " << printedCount << " px printed; " << missing << " ("
        << QString::number(missingShare, 'f', 2) << " %) missing and " << extra << " ("
        << QString::number(extraShare, 'f', 2) << " %) extra beyond a one-pixel seam\n";
    if (labels == 0 || missingShare > 2.0 || extraShare > 2.0) {
        out << "FAIL: the sheets differ\n";
        ok = false;
    }
    return ok ? 0 : 1;
}
