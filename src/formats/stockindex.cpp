#include "stockindex.h"

#include "platform/errors.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <utility>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

constexpr int FieldCount = 15;
// Larger than any sheet the index takes (A4 in tenths of a millimetre).
constexpr qint32 MaxSheetTenths = 10000;
constexpr qint64 MaxIndexBytes = 16 * 1024 * 1024;

QString joined(const QList<qint32> &values)
{
    QStringList texts;
    for (const qint32 v : values)
        texts.append(QString::number(v));
    return texts.join(QLatin1Char(','));
}

// Letter case, decimal commas and the blanks around the "x" of a size do
// not count in a search.
QString searchForm(const QString &text)
{
    static const QRegularExpression decimalComma(QStringLiteral("(\\d),(?=\\d)"));
    static const QRegularExpression times(QStringLiteral("(\\d)\\s*[x\u00D7]\\s*(?=\\d)"));
    QString s = text.toLower();
    s.replace(decimalComma, QStringLiteral("\\1."));
    s.replace(times, QStringLiteral("\\1x"));
    return s;
}

class LineError
{
public:
    explicit LineError(int line)
        : m_line(line)
    { }
    [[noreturn]] void operator()(const QString &why) const
    {
        throw Error(
            tr("Das Verzeichnis der Etikettenbögen ist fehlerhaft (Zeile %1): %2").arg(m_line).arg(why));
    }

private:
    int m_line;
};

qint32 number(const QString &text, qint32 low, qint32 high, const LineError &fail)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        fail(tr("Zahl %1 außerhalb von %2 bis %3").arg(text).arg(low).arg(high));
    return value;
}

QList<qint32> numbers(const QString &text, qsizetype count, qint32 high, const LineError &fail)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        fail(tr("%1 Positionen statt %2").arg(parts.size()).arg(count));
    QList<qint32> values;
    for (const QString &part : parts)
        values.append(number(part, 0, high, fail));
    return values;
}

StockSheet parseLine(const QString &line, int lineNumber)
{
    const LineError fail(lineNumber);
    const QStringList f = line.split(QLatin1Char('\t'));
    if (f.size() != FieldCount)
        fail(tr("%1 Felder statt %2").arg(f.size()).arg(FieldCount));
    StockSheet s;
    s.brand = f[0];
    s.part = f[1];
    s.fileName = f[2];
    s.description = f[3];
    if (s.brand.isEmpty() || s.part.isEmpty() || !s.fileName.endsWith(QLatin1String(".vrl"))
        || s.fileName.contains(QLatin1Char('/')))
        fail(tr("Hersteller, Teilenummer oder Dateiname fehlt"));
    if (s.description.isEmpty() || s.description.size() > MaxDescriptionLength)
        fail(tr("Beschreibung leer oder länger als %1 Zeichen").arg(MaxDescriptionLength));
    s.round = number(f[4], 0, 1, fail) == 1;
    s.sheetWidth = number(f[5], 1, MaxSheetTenths, fail);
    s.sheetHeight = number(f[6], 1, MaxSheetTenths, fail);
    s.across = number(f[7], 1, MaxLabelPositions, fail);
    s.down = number(f[8], 1, MaxLabelPositions, fail);
    if (qint64(s.across) * s.down > MaxLabelPositions)
        fail(tr("mehr als %1 Etiketten").arg(MaxLabelPositions));
    const qint32 width = number(f[9], 1, s.sheetWidth, fail);
    const qint32 height = number(f[10], 1, s.sheetHeight, fail);
    SheetFormat &format = s.format;
    format.extentWidth = number(f[11], 1, s.sheetWidth, fail);
    format.extentHeight = number(f[12], 1, s.sheetHeight, fail);
    const QList<qint32> xs = numbers(f[13], s.across, s.sheetWidth - width, fail);
    const QList<qint32> ys = numbers(f[14], s.down, s.sheetHeight - height, fail);
    for (const qint32 y : ys)
        for (const qint32 x : xs)
            format.positions.push_back(LabelPosition { x, y, width, height });
    format.lastLabelWidth = width;
    format.lastLabelHeight = height;
    format.description = QString(s.description).replace(QLatin1Char(','), QLatin1Char('.'));
    return s;
}

// Layouts of one part share the template's description: the second and
// later ones get " - 2", " - 3", ..., as an import of the template file
// names them, so that each can be entered under a description of its own.
void distinguishLayouts(QList<StockSheet> &sheets)
{
    QSet<QString> taken;
    QHash<QString, int> next;
    for (StockSheet &s : sheets) {
        if (!taken.contains(s.description)) {
            taken.insert(s.description);
            continue;
        }
        int &n = next[s.description];
        if (n < 2)
            n = 2;
        QString candidate;
        do {
            const QString suffix = QStringLiteral(" - %1").arg(n++);
            candidate = s.description.left(MaxDescriptionLength - suffix.size()) + suffix;
        } while (taken.contains(candidate));
        taken.insert(candidate);
        s.description = candidate;
        s.format.description = QString(candidate).replace(QLatin1Char(','), QLatin1Char('.'));
    }
}

} // namespace

QString StockSheet::sizeText() const
{
    return labelSizeText(labelWidth(), labelHeight(), across, down) + (round ? tr(" (rund)") : QString());
}

QList<StockSheet> stockSheetsOf(const QList<LabelTemplate> &templates, QList<SkippedTemplate> *skipped)
{
    const TemplateConversion conversion = convertTemplates(templates, true);
    if (skipped)
        *skipped += conversion.skipped;
    QList<StockSheet> sheets;
    for (const ConvertedFormat &c : conversion.formats) {
        StockSheet s;
        // Tabs and line breaks would split the index's lines.
        s.brand = c.brand.simplified();
        s.part = c.part.simplified();
        s.fileName = c.fileName;
        s.description = c.description.simplified();
        s.round = c.round;
        s.sheetWidth = c.sheetWidth;
        s.sheetHeight = c.sheetHeight;
        s.format = c.format;
        const auto &positions = c.format.positions;
        s.across = int(std::count_if(positions.begin(), positions.end(),
            [&](const LabelPosition &p) { return p.y == positions.front().y; }));
        s.down = int(positions.size()) / std::max(s.across, 1);
        sheets.append(s);
    }
    distinguishLayouts(sheets);
    return sheets;
}

QByteArray stockIndexText(const QList<StockSheet> &sheets)
{
    QString text
        = QStringLiteral("# Etikettenbögen: Hersteller, Teil, Datei, Beschreibung, rund, Bogen B/H, "
                         "Etiketten nebeneinander/untereinander, Etikett B/H, Ausdehnung B/H, x-Positionen, "
                         "y-Positionen (1/10 mm)\n");
    for (const StockSheet &s : sheets) {
        QList<qint32> xs;
        QList<qint32> ys;
        for (int i = 0; i < s.across; ++i)
            xs.append(s.format.positions[size_t(i)].x);
        for (int j = 0; j < s.down; ++j)
            ys.append(s.format.positions[size_t(j) * size_t(s.across)].y);
        const QStringList fields { s.brand, s.part, s.fileName, s.description,
            QString::number(s.round ? 1 : 0), QString::number(s.sheetWidth), QString::number(s.sheetHeight),
            QString::number(s.across), QString::number(s.down), QString::number(s.labelWidth()),
            QString::number(s.labelHeight()), QString::number(s.format.extentWidth),
            QString::number(s.format.extentHeight), joined(xs), joined(ys) };
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

QList<StockSheet> parseStockIndex(QByteArrayView text)
{
    if (text.size() > MaxIndexBytes)
        throw Error(tr("Das Verzeichnis der Etikettenbögen ist zu groß."));
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    QList<StockSheet> sheets;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        sheets.append(parseLine(line, int(i + 1)));
    }
    distinguishLayouts(sheets);
    return sheets;
}

QList<StockSheet> shippedStockIndex()
{
    QFile file(QStringLiteral(":/quillmark/BOGENINDEX.TXT"));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(tr("Das Verzeichnis der Etikettenbögen fehlt."));
    return parseStockIndex(file.readAll());
}

QList<qsizetype> findStockSheets(const QList<StockSheet> &sheets, const QString &text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression size(QStringLiteral("^(\\d{1,4}(?:\\.\\d)?)x(\\d{1,4}(?:\\.\\d)?)$"));
    QStringList words = searchForm(text).split(blanks, Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    // A label size ("70x36") matches sizes up to half a millimetre off, as
    // the sizes of the formats are held to tenths that fit the sheet.
    QList<std::pair<qint32, qint32>> sizes;
    words.removeIf([&](const QString &w) {
        const QRegularExpressionMatch m = size.match(w);
        if (!m.hasMatch())
            return false;
        sizes.append({ qint32(std::lround(m.captured(1).toDouble() * 10)),
            qint32(std::lround(m.captured(2).toDouble() * 10)) });
        return true;
    });
    const auto sizeFits = [](const StockSheet &s, const std::pair<qint32, qint32> &wanted) {
        return std::abs(s.labelWidth() - wanted.first) <= 5 && std::abs(s.labelHeight() - wanted.second) <= 5;
    };
    QList<qsizetype> exact;
    QList<qsizetype> others;
    for (qsizetype i = 0; i < sheets.size(); ++i) {
        const StockSheet &s = sheets[i];
        const QString haystack
            = searchForm(s.brand + QLatin1Char(' ') + s.part + QLatin1Char(' ') + s.description);
        const bool all
            = std::all_of(words.begin(), words.end(), [&](const QString &w) { return haystack.contains(w); })
            && std::all_of(
                sizes.begin(), sizes.end(), [&](const auto &wanted) { return sizeFits(s, wanted); });
        if (!all)
            continue;
        const QString part = s.part.toLower();
        const bool partNamed
            = std::any_of(words.begin(), words.end(), [&](const QString &w) { return w == part; });
        (partNamed ? exact : others).append(i);
    }
    return exact + others;
}

QList<qsizetype> stockSheetsOfPart(const QList<StockSheet> &sheets, const QString &brand, const QString &part)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < sheets.size(); ++i)
        if (sheets[i].brand.compare(brand.trimmed(), Qt::CaseInsensitive) == 0
            && sheets[i].part.compare(part.trimmed(), Qt::CaseInsensitive) == 0)
            found.append(i);
    return found;
}

} // namespace qm
