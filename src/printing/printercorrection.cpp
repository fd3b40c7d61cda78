#include "printercorrection.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/settings.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

const QString kSection = QStringLiteral("Kalibrierung");
constexpr qsizetype MaxPrinterNameLength = 127;

// "+1,5 mm" from tenths of a millimetre.
QString millimetres(int tenths)
{
    const QString sign = tenths < 0 ? QStringLiteral("-") : QStringLiteral("+");
    const int magnitude = std::abs(tenths);
    return QStringLiteral("%1%2,%3 mm").arg(sign).arg(magnitude / 10).arg(magnitude % 10);
}

// "100,2 %" from per mille.
QString percent(int perMille)
{
    return QStringLiteral("%1,%2 %").arg(perMille / 10).arg(perMille % 10);
}

} // namespace

QString pdfCorrectionName()
{
    return QStringLiteral("PDF");
}

QString correctionOffsetProblem(qint64 tenths)
{
    if (tenths < -MaxCorrectionOffset || tenths > MaxCorrectionOffset)
        return tr("Der Versatz %1 liegt nicht zwischen -%2 und %2 Zehntelmillimetern.")
            .arg(tenths)
            .arg(MaxCorrectionOffset);
    return {};
}

QString correctionScaleProblem(qint64 perMille)
{
    if (perMille < MinCorrectionScale || perMille > MaxCorrectionScale)
        return tr("Der Maßstab %1 liegt nicht zwischen %2 und %3 Promille.")
            .arg(perMille)
            .arg(MinCorrectionScale)
            .arg(MaxCorrectionScale);
    return {};
}

QString correctionProblem(const PrinterCorrection &correction)
{
    for (const int offset : { correction.offsetX, correction.offsetY })
        if (const QString problem = correctionOffsetProblem(offset); !problem.isEmpty())
            return problem;
    for (const int scale : { correction.scaleX, correction.scaleY })
        if (const QString problem = correctionScaleProblem(scale); !problem.isEmpty())
            return problem;
    return {};
}

QString printerNameProblem(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return tr("Der Name des Druckers fehlt.");
    if (name.size() > MaxPrinterNameLength)
        return tr("Der Druckername ist länger als %1 Zeichen.").arg(MaxPrinterNameLength);
    // The settings file would read such a name back as another key, a
    // section or a comment.
    if (trimmed != name || name.contains(QLatin1Char('=')) || name.startsWith(QLatin1Char('['))
        || name.startsWith(QLatin1Char(';')) || name.contains(QLatin1Char('\n'))
        || name.contains(QLatin1Char('\r')))
        return tr("Der Druckername \"%1\" kann nicht gespeichert werden.").arg(name);
    return {};
}

QString correctionText(const PrinterCorrection &correction)
{
    if (correction.isNone())
        return tr("keine Korrektur");
    return tr("Versatz x %1, y %2; Maßstab x %3, y %4")
        .arg(millimetres(correction.offsetX), millimetres(correction.offsetY), percent(correction.scaleX),
            percent(correction.scaleY));
}

PrinterCorrection correctionFromReading(const CalibrationReading &reading, int cornerX, int cornerY)
{
    for (const int ruler : { reading.rulerX, reading.rulerY }) {
        if (ruler < MinMeasuredRuler || ruler > MaxMeasuredRuler)
            throw Error(tr("Die gemessene Linienlänge %1 liegt nicht zwischen %2 und %3 "
                           "Zehntelmillimetern.")
                            .arg(ruler)
                            .arg(MinMeasuredRuler)
                            .arg(MaxMeasuredRuler));
    }
    for (const int deviation : { reading.deviationX, reading.deviationY })
        if (const QString problem = correctionOffsetProblem(deviation); !problem.isEmpty())
            throw Error(problem);
    // The printer's scale s0 = ruler / 1000; the corner c printed at c + d
    // gives its shift e = c + d - s0 c. The correction: scale 1 / s0,
    // offset -e / s0 = c - (c + d) / s0.
    const auto offset = [](int corner, int deviation, int ruler) {
        return static_cast<int>(std::lround(corner - (corner + deviation) * 1000.0 / ruler));
    };
    const auto scale = [](int ruler) { return static_cast<int>(std::lround(1000000.0 / ruler)); };
    PrinterCorrection correction;
    correction.offsetX = offset(cornerX, reading.deviationX, reading.rulerX);
    correction.offsetY = offset(cornerY, reading.deviationY, reading.rulerY);
    correction.scaleX = scale(reading.rulerX);
    correction.scaleY = scale(reading.rulerY);
    if (const QString problem = correctionProblem(correction); !problem.isEmpty())
        throw Error(problem);
    return correction;
}

QString PrinterSettings::chosenPrinter() const
{
    const QString name = m_settings.readString(QStringLiteral("Parameter"), QStringLiteral("Drucker"), {});
    return printerNameProblem(name).isEmpty() ? name : QString();
}

void PrinterSettings::setChosenPrinter(const QString &name)
{
    if (!name.isEmpty())
        if (const QString problem = printerNameProblem(name); !problem.isEmpty())
            throw Error(problem);
    m_settings.writeString(QStringLiteral("Parameter"), QStringLiteral("Drucker"), name);
}

bool PrinterSettings::printWithoutWaits() const
{
    return m_settings.readBool(QStringLiteral("Parameter"), QStringLiteral("OhneWartezeiten"), false);
}

void PrinterSettings::setPrintWithoutWaits(bool withoutWaits)
{
    m_settings.writeBool(QStringLiteral("Parameter"), QStringLiteral("OhneWartezeiten"), withoutWaits);
}

std::optional<PrinterCorrection> PrinterSettings::stored(const QString &printer) const
{
    if (!printerNameProblem(printer).isEmpty())
        return std::nullopt;
    const QString text = m_settings.readString(kSection, printer, {});
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int values[4] = {};
    for (int i = 0; i < 4; ++i) {
        const std::optional<int> value = parseStrictInt(parts[i].trimmed());
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    const PrinterCorrection correction { values[0], values[1], values[2], values[3] };
    if (!correctionProblem(correction).isEmpty())
        return std::nullopt;
    return correction;
}

PrinterCorrection PrinterSettings::correction(const QString &printer) const
{
    return stored(printer).value_or(PrinterCorrection());
}

bool PrinterSettings::hasBadCorrection(const QString &printer) const
{
    if (!printerNameProblem(printer).isEmpty())
        return false;
    return !m_settings.readString(kSection, printer, {}).isEmpty() && !stored(printer);
}

QString PrinterSettings::badCorrectionNotice(const QString &printer) const
{
    if (!hasBadCorrection(printer))
        return {};
    return tr("Die gespeicherte Korrektur für %1 (%2 im Abschnitt [%3] von Quillmark.ini) ist ungültig und "
              "wird nicht angewandt: gedruckt wird ohne Korrektur. Erwartet werden vier ganze Zahlen: "
              "Versatz x und y (-%4 bis %4 Zehntelmillimeter), Maßstab x und y (%5 bis %6 Promille).")
        .arg(printer, quotedValue(m_settings.readString(kSection, printer, {})), kSection,
            QString::number(MaxCorrectionOffset), QString::number(MinCorrectionScale),
            QString::number(MaxCorrectionScale));
}

void PrinterSettings::setCorrection(const QString &printer, const PrinterCorrection &correction)
{
    if (const QString problem = printerNameProblem(printer); !problem.isEmpty())
        throw Error(problem);
    if (const QString problem = correctionProblem(correction); !problem.isEmpty())
        throw Error(problem);
    m_settings.writeString(kSection, printer,
        QStringLiteral("%1,%2,%3,%4")
            .arg(correction.offsetX)
            .arg(correction.offsetY)
            .arg(correction.scaleX)
            .arg(correction.scaleY));
}

} // namespace qm
