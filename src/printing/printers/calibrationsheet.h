#pragma once

#include "formats/sheetformat.h"
#include "printing/layout.h"

#include <QList>
#include <QPoint>

namespace qm {

class ICanvas;
class IWaiter;

// "Ausrichtung prüfen ...": a sheet that shows how a printer misses the
// stock. At the outer corner of each corner label a cross-hair with a
// millimetre scale in both directions, at the sheet's centre a 100 mm ruler
// across and one down, and a short instruction. Laid over a blank sheet of
// the stock against the light, it gives the reading a correction is made
// from (correctionFromReading). It is drawn at one logical unit to the tenth
// of a millimetre and printed without correction.
inline constexpr int CalibrationUnitsPerCm = 100;
inline constexpr int CalibrationRulerLength = 1000; // tenths of a millimetre

// One cross-hair: the corner it marks (tenths of a millimetre from the
// sheet's top-left corner) and the label whose corner it is (from 1).
struct CalibrationMark
{
    int label = 0;
    QPoint corner;
    bool operator==(const CalibrationMark &) const = default;
};

// The cross-hairs of a sheet: the top-left corner of the top-left label
// first (the one the reading is taken at), then top-right, bottom-left and
// bottom-right. Empty for a format without labels.
QList<CalibrationMark> calibrationMarks(const SheetFormat &format);

// The sheet's centre, where the two rulers cross.
QPoint calibrationCentre(const SheetFormat &format);

// Draws the whole sheet on a canvas mapped at CalibrationUnitsPerCm.
void drawCalibrationSheet(ICanvas &canvas, const SheetFormat &format);

// Prints the sheet as one page on the printer, through the same layout as
// every run (paper as long as the sheet, restored afterwards), without
// correction. Refused for a format without labels or one no run could
// print.
LayoutResult printCalibrationSheet(
    const SheetFormat &format, IPrinterDevice &printer, IPrintProgress &progress, IWaiter &waiter);

// The same, with what went wrong said in German: empty when the sheet was
// printed, else why not (a PDF file that could not be written named with
// its reason, a printer that did not open by `name`).
QString printCalibrationSheetOn(
    const SheetFormat &format, IPrinterDevice &printer, const QString &name, IWaiter &waiter);

// Why the sheet cannot be printed for this format; empty when it can.
QString calibrationProblem(const SheetFormat &format);

} // namespace qm
