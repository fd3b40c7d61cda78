#include "etifile.h"

#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "platform/version.h"

#include <QCoreApplication>
#include <QDate>
#include <QLocale>

#include <optional>
#include <utility>

namespace qm {
namespace {

// The reader's current pen and font: element records take their attributes
// from the last pen or font record before them. Pen and font records share
// one colour.
struct ReaderState
{
    QString penStyle;
    QString colour = QStringLiteral("0");
    QString height = QStringLiteral("-14");
    QString italic = QStringLiteral("0");
    QString bold = QStringLiteral("0");
    QString rotation = QStringLiteral("0");
    QString font;
    std::optional<QString> textBox; // an XT record not yet taken by a text
};

// "0" stays "0", anything else (a weight such as 700 included) is bold.
QString boldFlag(const QString &field)
{
    return field == u"0" ? QStringLiteral("0") : QStringLiteral("1");
}

Element lineElement(QChar kind, QString &rest, const ReaderState &st)
{
    Element e;
    e.kind = kind;
    e.cells[Col::X1] = takeEtiField(rest);
    e.cells[Col::Y1] = takeEtiField(rest);
    e.cells[Col::X2] = takeEtiField(rest);
    e.cells[Col::Y2] = rest;
    e.cells[Col::Pen] = st.penStyle;
    e.cells[Col::PenColour] = st.colour;
    return e;
}

Element textElement(QChar kind, QString &rest, ReaderState &st)
{
    Element e;
    e.kind = kind;
    e.cells[Col::X] = takeEtiField(rest);
    e.cells[Col::Y] = takeEtiField(rest);
    e.cells[Col::Rotation] = st.rotation;
    e.cells[Col::Height] = st.height;
    e.cells[Col::Bold] = st.bold;
    e.cells[Col::Italic] = st.italic;
    e.cells[Col::Colour] = st.colour;
    e.cells[Col::Font] = st.font;
    e.textBox = std::exchange(st.textBox, std::nullopt);
    return e;
}

QString oneLine(QString cell)
{
    cell.replace(u'\r', u' ');
    cell.replace(u'\n', u' ');
    return cell;
}

QString joinCells(QLatin1StringView key, std::initializer_list<QString> cells)
{
    QString line = key;
    for (const QString &c : cells) {
        line += u',';
        line += oneLine(c);
    }
    return line;
}

QString cellsOf(const Element &e, int column)
{
    return e.cells[static_cast<size_t>(column)];
}

// The end of a BC or BF line: the field name and, when the name is followed
// by a comma, the field size as the rest of the line.
void takeFieldAndSize(QString &rest, Element &e, int fieldColumn, int sizeColumn)
{
    if (rest.contains(u',')) {
        e.cells[fieldColumn] = takeEtiField(rest);
        e.cells[sizeColumn] = rest;
    } else {
        e.cells[fieldColumn] = rest;
    }
}

// A barcode from the text after "BC,": box, kind, field name and, when the
// name is followed by a comma, the field size as the rest of the line.
Element barcodeElement(const QString &record)
{
    QString rest = record;
    Element e;
    e.kind = ElementKind::Barcode;
    e.cells[Col::X1] = takeEtiField(rest);
    e.cells[Col::Y1] = takeEtiField(rest);
    e.cells[Col::X2] = takeEtiField(rest);
    e.cells[Col::Y2] = takeEtiField(rest);
    e.cells[Col::Symbology] = takeEtiField(rest);
    takeFieldAndSize(rest, e, Col::BarcodeField, Col::BarcodeSize);
    e.cells[Col::BarcodeRecord] = record;
    return e;
}

// A picture named by a field from the text after "BF,": box, field name
// and, when the name is followed by a comma, the field size as the rest.
Element fieldPictureElement(const QString &record)
{
    QString rest = record;
    Element e;
    e.kind = ElementKind::Bitmap;
    e.cells[Col::X1] = takeEtiField(rest);
    e.cells[Col::Y1] = takeEtiField(rest);
    e.cells[Col::X2] = takeEtiField(rest);
    e.cells[Col::Y2] = takeEtiField(rest);
    takeFieldAndSize(rest, e, Col::PictureField, Col::PictureSize);
    e.cells[Col::PictureRecord] = record;
    return e;
}

// The BF record of a picture named by a field: the line as read while the
// element still says what it says, otherwise rebuilt from the cells.
QString fieldPictureLine(const Element &e)
{
    const QString &read = e.cells[Col::PictureRecord];
    if (!read.isNull() && fieldPictureElement(read) == e)
        return QStringLiteral("BF,") + oneLine(read);
    QString line = joinCells(QLatin1StringView("BF"),
        { cellsOf(e, Col::X1), cellsOf(e, Col::Y1), cellsOf(e, Col::X2), cellsOf(e, Col::Y2),
            cellsOf(e, Col::PictureField) });
    if (!cellsOf(e, Col::PictureSize).isEmpty())
        line += u',' + oneLine(cellsOf(e, Col::PictureSize));
    return line;
}

// The size a GR record gives (the text after "GR,"), in the exact
// millimetres of its units. Throws ConvertError.
struct SizeTexts
{
    QString width;
    QString height;
};

SizeTexts sizeTextsOf(const QString &record)
{
    QString rest = record;
    const QString w = takeEtiField(rest);
    const QString h = takeEtiField(rest);
    const int widthUnits = strToInt(w);
    const int heightUnits = strToInt(h);
    return { sizeTextOfUnits(widthUnits), sizeTextOfUnits(heightUnits) };
}

// The GR record: the line as read while the size is still the one it gives,
// otherwise the units of the size and the scale 25.
QString sizeLine(const Design &design, qint64 widthUnits, qint64 heightUnits)
{
    if (!design.sizeRecord.isNull()) {
        try {
            const SizeTexts read = sizeTextsOf(design.sizeRecord);
            if (read.width == design.widthMm && read.height == design.heightMm)
                return QStringLiteral("GR,") + oneLine(design.sizeRecord);
        } catch (const ConvertError &) {
            // Not a size any more: written anew.
        }
    }
    return QStringLiteral("GR,%1,%2,%3").arg(widthUnits).arg(heightUnits).arg(UnitsPerCm);
}

// The BC record of a barcode: the line as read while the element still says
// what that line says, otherwise rebuilt from the cells (the size only when
// there is one).
QString barcodeLine(const Element &e)
{
    const QString &read = e.cells[Col::BarcodeRecord];
    if (!read.isNull() && barcodeElement(read) == e)
        return QStringLiteral("BC,") + oneLine(read);
    QString line = joinCells(QLatin1StringView("BC"),
        { cellsOf(e, Col::X1), cellsOf(e, Col::Y1), cellsOf(e, Col::X2), cellsOf(e, Col::Y2),
            cellsOf(e, Col::Symbology), cellsOf(e, Col::BarcodeField) });
    if (!cellsOf(e, Col::BarcodeSize).isEmpty())
        line += u',' + oneLine(cellsOf(e, Col::BarcodeSize));
    return line;
}

} // namespace

QString takeEtiField(QString &rest)
{
    const qsizetype comma = rest.indexOf(u',');
    if (comma < 0)
        return {};
    QString field = rest.left(comma);
    rest.remove(0, comma + 1);
    return field;
}

QString oldBitmapMessage()
{
    return QCoreApplication::translate(
        "qm", "Datei enthielt alten Befehl für eine Bitmapgrafik ! Größe wird auf 3.0 x 3.0 cm "
              "angepasst ...");
}

EtiLoadResult loadEtiLines(const QStringList &lines, Design &design)
{
    Design loaded = design;
    loaded.elements.clear();
    EtiLoadResult result;
    ReaderState st;

    for (const QString &line : lines) {
        QString rest = line;
        const QString key = takeEtiField(rest);
        if (key == u"NA") {
            loaded.description = rest;
        } else if (key == u"GR") {
            const SizeTexts size = sizeTextsOf(rest);
            loaded.widthMm = size.width;
            loaded.heightMm = size.height;
            loaded.sizeRecord = rest;
        } else if (key == u"XP") {
            st.penStyle = takeEtiField(rest);
            st.colour = rest;
        } else if (key == u"SP") {
            const QString width = takeEtiField(rest);
            const QString dashed = rest;
            if (width == u"1" && dashed == u"0")
                st.penStyle = QStringLiteral("0");
            else if (width == u"3" && dashed == u"0")
                st.penStyle = QStringLiteral("1");
            else if (dashed == u"1")
                st.penStyle = QStringLiteral("2");
            st.colour = QStringLiteral("0");
        } else if (key == u"LI") {
            loaded.elements.push_back(lineElement(ElementKind::Line, rest, st));
        } else if (key == u"RE") {
            loaded.elements.push_back(lineElement(ElementKind::Rectangle, rest, st));
        } else if (key == u"RA") {
            loaded.elements.push_back(lineElement(ElementKind::RoundRectangle, rest, st));
        } else if (key == u"EL") {
            loaded.elements.push_back(lineElement(ElementKind::Ellipse, rest, st));
        } else if (key == u"XF") {
            st.height = takeEtiField(rest);
            st.italic = takeEtiField(rest);
            st.bold = boldFlag(takeEtiField(rest));
            st.rotation = takeEtiField(rest);
            st.font = takeEtiField(rest);
            st.colour = rest;
        } else if (key == u"XT") {
            st.textBox = rest;
        } else if (key == u"SF") {
            st.height = takeEtiField(rest);
            st.italic = takeEtiField(rest);
            st.bold = boldFlag(takeEtiField(rest));
            st.rotation = takeEtiField(rest);
            st.font = rest;
            st.colour = QStringLiteral("0");
        } else if (key == u"TE") {
            Element e = textElement(ElementKind::Text, rest, st);
            e.cells[Col::Text] = rest;
            loaded.elements.push_back(std::move(e));
        } else if (key == u"EF") {
            Element e = textElement(ElementKind::Field, rest, st);
            e.cells[Col::FieldSize] = takeEtiField(rest);
            e.cells[Col::FieldName] = rest;
            loaded.elements.push_back(std::move(e));
        } else if (key == u"SE") {
            Element e = textElement(ElementKind::Serial, rest, st);
            e.cells[Col::Mode] = takeEtiField(rest);
            e.cells[Col::TextBefore] = takeEtiField(rest);
            e.cells[Col::TextAfter] = rest;
            loaded.elements.push_back(std::move(e));
        } else if (key == u"BC") {
            loaded.elements.push_back(barcodeElement(rest));
        } else if (key == u"XB") {
            Element e;
            e.kind = ElementKind::Bitmap;
            e.cells[Col::X1] = takeEtiField(rest);
            e.cells[Col::Y1] = takeEtiField(rest);
            e.cells[Col::X2] = takeEtiField(rest);
            e.cells[Col::Y2] = takeEtiField(rest);
            e.cells[Col::Path] = rest;
            loaded.elements.push_back(std::move(e));
        } else if (key == u"BF") {
            loaded.elements.push_back(fieldPictureElement(rest));
        } else if (key == u"BM") {
            Element e;
            e.kind = ElementKind::Bitmap;
            e.cells[Col::X1] = takeEtiField(rest);
            e.cells[Col::Y1] = takeEtiField(rest);
            const qint64 x1 = strToInt(e.cells[Col::X1]);
            const qint64 y1 = strToInt(e.cells[Col::Y1]);
            e.cells[Col::X2] = QString::number(x1 + 3 * UnitsPerCm);
            e.cells[Col::Y2] = QString::number(y1 + 3 * UnitsPerCm);
            e.cells[Col::Path] = rest;
            loaded.elements.push_back(std::move(e));
            result.oldBitmapRecord = true;
        }
    }

    design = std::move(loaded);
    return result;
}

EtiLoadResult Eladen(const QString &path, Design &design)
{
    return loadEtiLines(readTextLines(path), design);
}

QString etiDateText()
{
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

QStringList etiFileLines(const Design &design, const QString &dateText)
{
    const qint64 widthUnits = design.widthUnits();
    const qint64 heightUnits = design.heightUnits();

    QStringList lines;
    lines << QStringLiteral("** QUILLMARK für WINDOWS 95")
          << QStringLiteral("** ETI-Datei für ein Etikett bzw. Formular")
          << QStringLiteral("** Erstellt am ") + oneLine(dateText) + QStringLiteral(" mit Version ")
                 + QLatin1StringView(kFileVersion)
          << QStringLiteral("NA,") + oneLine(design.description)
          << sizeLine(design, widthUnits, heightUnits);

    for (const Element &e : design.elements) {
        auto c = [&e](int column) { return cellsOf(e, column); };
        auto fontRecord = [&] {
            return joinCells(QLatin1StringView("XF"), {c(Col::Height), c(Col::Italic), c(Col::Bold),
                                                       c(Col::Rotation), c(Col::Font),
                                                       c(Col::Colour)});
        };
        const char16_t kind = e.kind.unicode();
        switch (kind) {
        case u'L':
        case u'R':
        case u'O':
        case u'E': {
            const QLatin1StringView key(kind == u'L' ? "LI"
                    : kind == u'R'                   ? "RE"
                    : kind == u'O'                   ? "RA"
                                                     : "EL");
            lines << joinCells(QLatin1StringView("XP"), {c(Col::Pen), c(Col::PenColour)})
                  << joinCells(key, {c(Col::X1), c(Col::Y1), c(Col::X2), c(Col::Y2)});
            break;
        }
        case u'B':
            if (picturesByField(e))
                lines << fieldPictureLine(e);
            else
                lines << joinCells(QLatin1StringView("XB"),
                                   {c(Col::X1), c(Col::Y1), c(Col::X2), c(Col::Y2), c(Col::Path)});
            break;
        case u'T':
            lines << fontRecord();
            if (e.textBox)
                lines << QStringLiteral("XT,") + oneLine(*e.textBox);
            lines << joinCells(QLatin1StringView("TE"), {c(Col::X), c(Col::Y), c(Col::Text)});
            break;
        case u'F':
            lines << fontRecord();
            if (e.textBox)
                lines << QStringLiteral("XT,") + oneLine(*e.textBox);
            lines << joinCells(QLatin1StringView("EF"),
                               {c(Col::X), c(Col::Y), c(Col::FieldSize), c(Col::FieldName)});
            break;
        case u'S':
            lines << fontRecord();
            if (e.textBox)
                lines << QStringLiteral("XT,") + oneLine(*e.textBox);
            lines << joinCells(QLatin1StringView("SE"), {c(Col::X), c(Col::Y), c(Col::Mode),
                                                         c(Col::TextBefore), c(Col::TextAfter)});
            break;
        case u'C':
            lines << barcodeLine(e);
            break;
        default: // deleted rows and unknown kinds
            break;
        }
    }
    return lines;
}

void Espeichern(const QString &path, const Design &design, const QString &dateText)
{
    const QStringList lines = etiFileLines(design, dateText);
    TextFileWriter writer(path);
    for (const QString &line : lines)
        writer.writeLine(line);
    writer.commit();
}

void Espeichern(const QString &path, const Design &design)
{
    Espeichern(path, design, etiDateText());
}

} // namespace qm
