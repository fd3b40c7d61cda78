#pragma once

#include <QString>

#include <optional>

namespace qm {

class ISettings;

// How far one printer misses the sheet, as calibrated once and applied to
// every run on it: logical (0, 0) moves by the offset on paper, and every
// length is scaled by the scale. A point the layout puts at p (on paper,
// from the top-left corner of the printable area) lands at offset + scale · p;
// the per-run offsets of the input expert are part of p.
struct PrinterCorrection
{
    int offsetX = 0; // tenths of a millimetre, + to the right
    int offsetY = 0; // tenths of a millimetre, + downwards
    int scaleX = 1000; // per mille
    int scaleY = 1000;

    bool isNone() const { return *this == PrinterCorrection(); }
    bool operator==(const PrinterCorrection &) const = default;
};

// What a correction may hold: offsets up to ±25 mm, scales from 90 % to
// 110 %. A printer further off than that needs mending, not calibrating.
inline constexpr int MaxCorrectionOffset = 250;
inline constexpr int MinCorrectionScale = 900;
inline constexpr int MaxCorrectionScale = 1100;

// The entry under which PDF files keep their correction.
QString pdfCorrectionName();

// Why a value cannot be a correction's offset or scale; empty when it can.
QString correctionOffsetProblem(qint64 tenths);
QString correctionScaleProblem(qint64 perMille);
// The first problem of the four values; empty when all fit.
QString correctionProblem(const PrinterCorrection &correction);

// Why a name cannot be kept in the settings (empty, too long, or a name
// that the settings file would read back as something else); empty when it
// can.
QString printerNameProblem(const QString &name);

// "Versatz x +1,5 mm, y -0,3 mm; Maßstab x 100,2 %, y 99,8 %", or "keine
// Korrektur".
QString correctionText(const PrinterCorrection &correction);

// What the user reads off the calibration sheet laid over a blank sheet of
// the stock: how far the cross-hair of the first label misses that label's
// corner (tenths of a millimetre, printed minus true, + right and down), and
// how long the two 100 mm rulers came out (tenths of a millimetre).
struct CalibrationReading
{
    int deviationX = 0;
    int deviationY = 0;
    int rulerX = 1000;
    int rulerY = 1000;
};

// Shortest and longest ruler the reading may give (90 mm .. 111 mm), so that
// the scale it makes fits a correction.
inline constexpr int MinMeasuredRuler = 900;
inline constexpr int MaxMeasuredRuler = 1110;

// The correction that undoes the printer's error measured by `reading` on a
// calibration sheet printed without correction, whose first label's corner
// lies at (cornerX, cornerY) tenths of a millimetre from the printable
// area's top-left corner. The printer puts q at e + s0 · q; the correction
// scales by 1 / s0 and moves by −e / s0. Throws Error (German) for a reading
// out of range or a correction that would not fit.
PrinterCorrection correctionFromReading(const CalibrationReading &reading, int cornerX, int cornerY);

// The printer settings of Quillmark.ini: the printer chosen in
// "&Druckparameter ..." (section Parameter, key Drucker), whether the
// windows print without waits (section Parameter, key OhneWartezeiten, 1 or
// 0) and the corrections (section Kalibrierung, one key per printer,
// "x,y,scale x,scale y").
class PrinterSettings
{
public:
    explicit PrinterSettings(ISettings &settings)
        : m_settings(settings)
    { }

    // Empty: the system's default printer.
    QString chosenPrinter() const;
    // Throws Error for a name that cannot be kept.
    void setChosenPrinter(const QString &name);

    // "Ohne Wartezeiten drucken": the windows' runs leave out the fixed
    // waits after every position and sheet. Off unless stored.
    bool printWithoutWaits() const;
    // Throws Error when the settings cannot be written.
    void setPrintWithoutWaits(bool withoutWaits);

    // The stored correction; none when nothing is stored, and none for a
    // stored value that is not four whole numbers within range (a file
    // edited by hand must not move the print anywhere).
    PrinterCorrection correction(const QString &printer) const;
    // Whether a stored value is there but unusable.
    bool hasBadCorrection(const QString &printer) const;
    // What a run on the printer says about such a value (it prints without
    // correction); empty when the stored value is usable or there is none.
    QString badCorrectionNotice(const QString &printer) const;
    // Stores it (none removes nothing: it is stored as 0,0,1000,1000).
    // Throws Error for a name or values that cannot be kept.
    void setCorrection(const QString &printer, const PrinterCorrection &correction);

private:
    std::optional<PrinterCorrection> stored(const QString &printer) const;

    ISettings &m_settings;
};

} // namespace qm
