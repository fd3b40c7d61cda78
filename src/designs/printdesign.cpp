#include "printdesign.h"

#include "designs/barcode.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

// The next field of a record; a field missing from a short record is empty.
QString take(QString &line)
{
    QString field;
    NaechstesFeld(line, field);
    return field;
}

int takeNumber(QString &line)
{
    return lenientToInt(take(line));
}

// The rest of the record with its commas (TE, BM): every remaining field,
// rejoined; the comma appended to the line is not part of it.
QString takeRest(QString &line)
{
    QString rest = line;
    line.clear();
    if (rest.endsWith(u','))
        rest.chop(1);
    return rest;
}


void ensureColumns(StringTable *grid, int count)
{
    if (grid && grid->colCount() < count)
        grid->setColCount(count);
}

void registerFields(const PrintDesign &design, const FieldGrids &grids)
{
    for (const DataField &f : design.fields) {
        const int n = f.column;
        if (grids.labelList) {
            ensureColumns(grids.labelList, n + 1);
            grids.labelList->setCell(n, 0, f.title);
        }
        if (grids.entryGrid) {
            ensureColumns(grids.entryGrid, n + 1);
            grids.entryGrid->setCell(n, 0, f.title);
            grids.entryGrid->setCell(n, 1, f.size);
        }
        if (grids.fieldGrid && f.inFieldGrid) {
            StringTable &g = *grids.fieldGrid;
            ensureColumns(&g, n + 1);
            g.setCell(n, 0, QCoreApplication::translate("qm", "Feld %1").arg(n));
            g.setCell(0, 1, QCoreApplication::translate("qm", "Feldname"));
            g.setCell(0, 2, QCoreApplication::translate("qm", "Feldgröße"));
            g.setCell(n, 1, f.title);
            g.setCell(n, 2, QCoreApplication::translate("qm", "%1 Zeichen").arg(f.size));
        }
    }
}

// Whether a title in a text names a field: trimmed and regardless of letter
// case, as CSV headers are matched to the fields.
bool sameTitle(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The fields named inside TE texts: each title no field has becomes a
// field after the others, and every TE with fields gets its pieces.
void addTextFields(PrintDesign &read, int &nextColumn)
{
    std::vector<DataField> added;
    auto find = [](std::vector<DataField> &fields, const QString &title) -> DataField * {
        for (DataField &f : fields)
            if (sameTitle(f.title, title))
                return &f;
        return nullptr;
    };
    for (PrintRecord &r : read.records) {
        if (r.key != u"TE" || !r.text.contains(QStringLiteral("${")))
            continue;
        for (const FieldTextPart &part : splitFieldText(r.text)) {
            if (!part.field) {
                r.pieces.push_back(TextPiece{part.text, 0});
                continue;
            }
            // A field the design has keeps its size; one of the text's own
            // takes the first size given.
            if (const DataField *field = find(read.fields, part.text)) {
                r.pieces.push_back(TextPiece{QString(), field->column});
                continue;
            }
            DataField *field = find(added, part.text);
            if (!field) {
                added.push_back(DataField{nextColumn++, part.text, QString(), true});
                field = &added.back();
            }
            if (field->size.isEmpty() && part.size > 0)
                field->size = QString::number(part.size);
            r.pieces.push_back(TextPiece{QString(), field->column});
        }
    }
    for (DataField &f : added) {
        if (f.size.isEmpty())
            f.size = QString::number(DefaultTextFieldSize);
        read.fields.push_back(std::move(f));
        read.hasFields = true;
        ++read.fieldCount;
    }
}

} // namespace

std::vector<FieldTextPart> splitFieldText(const QString &text)
{
    std::vector<FieldTextPart> parts;
    auto literal = [&](QStringView piece) {
        if (piece.isEmpty())
            return;
        if (parts.empty() || parts.back().field)
            parts.push_back(FieldTextPart{});
        parts.back().text += piece;
    };
    if (!text.contains(QStringLiteral("${"))) {
        literal(text);
        return parts;
    }
    const QStringView all(text);
    qsizetype i = 0;
    while (i < all.size()) {
        const qsizetype dollar = all.indexOf(u'$', i);
        if (dollar < 0 || dollar + 1 >= all.size()) {
            literal(all.mid(i));
            break;
        }
        literal(all.mid(i, dollar - i));
        const QChar next = all[dollar + 1];
        if (next == u'$') {
            literal(u"$");
            i = dollar + 2;
            continue;
        }
        if (next != u'{') {
            literal(u"$");
            i = dollar + 1;
            continue;
        }
        const qsizetype close = all.indexOf(u'}', dollar + 2);
        const QStringView inside = close < 0 ? QStringView() : all.mid(dollar + 2, close - dollar - 2);
        if (close < 0 || inside.contains(u'{')) {
            // Names nothing: the "${" as it stands, and on after it.
            literal(u"${");
            i = dollar + 2;
            continue;
        }
        QStringView title = inside;
        int size = 0;
        bool named = true;
        if (const qsizetype colon = inside.lastIndexOf(u':'); colon >= 0) {
            title = inside.left(colon);
            bool ok = false;
            const QStringView digits = inside.mid(colon + 1).trimmed();
            size = digits.toInt(&ok);
            named = ok && size >= 1 && size <= 9999
                && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        }
        title = title.trimmed();
        if (!named || title.isEmpty()) {
            literal(all.mid(dollar, close + 1 - dollar));
        } else {
            parts.push_back(FieldTextPart{title.toString(), true, size});
        }
        i = close + 1;
    }
    return parts;
}

void NaechstesFeld(QString &line, QString &field)
{
    if (line.isEmpty())
        return;
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0) {
        field.clear();
        return;
    }
    field = line.left(comma);
    line.remove(0, comma + 1);
}

QString fieldGridCaption(const QString &designName)
{
    return QCoreApplication::translate("qm", "Felder der aktuellen Etikettendatei [\"%1\"]")
        .arg(designName);
}

QString barcodeNotice(const QString &path, int line, const QString &field, const QString &reason)
{
    const QString where = path.isEmpty()
        ? QCoreApplication::translate("qm", "Zeile %1").arg(line)
        : QCoreApplication::translate("qm", "Etikettendatei %1, Zeile %2").arg(path).arg(line);
    return QCoreApplication::translate("qm", "%1, Feld %2: Der Barcode wird nicht gedruckt, %3.")
        .arg(where, field, reason);
}

std::optional<TextBox> textBoxOf(const PrintRecord &r)
{
    if (r.key != u"XT" || r.a < 1)
        return std::nullopt;
    TextBox box;
    box.width = r.a;
    box.height = r.b;
    box.fit = static_cast<TextBox::Fit>(r.c);
    box.align = static_cast<TextBox::Align>(r.d);
    box.minSize = r.e;
    box.maxLines = r.f;
    return box;
}

QString textBoxLineFault(const QStringList &fields)
{
    struct Range
    {
        const char *name;
        int low;
        int high;
    };
    static constexpr Range ranges[] = {
        { "die Breite", 1, 5000 },
        { "die Höhe", 1, 5000 },
        { "die Einpassung", 0, 2 },
        { "die Ausrichtung", 0, 2 },
        { "die kleinste Schriftgröße", 1, 200 },
        { "die Zeilenzahl", 0, 100 },
    };
    for (size_t i = 0; i < std::size(ranges); ++i) {
        const Range &range = ranges[i];
        const QString text = i < size_t(fields.size()) ? fields[qsizetype(i)].trimmed() : QString();
        const std::optional<int> value = text.isEmpty() ? std::nullopt : parseStrictInt(text);
        if (!value || *value < range.low || *value > range.high)
            return QCoreApplication::translate("qm", "%1 muss eine ganze Zahl von %2 bis %3 sein")
                .arg(QCoreApplication::translate("qm", range.name))
                .arg(range.low)
                .arg(range.high);
    }
    return {};
}

QString textBoxNotice(const QString &path, int line, const QString &reason)
{
    const QString where = path.isEmpty()
        ? QCoreApplication::translate("qm", "Zeile %1").arg(line)
        : QCoreApplication::translate("qm", "Etikettendatei %1, Zeile %2").arg(path).arg(line);
    return QCoreApplication::translate("qm", "%1: Der Textrahmen wird nicht beachtet, %2.").arg(where, reason);
}

QString tooManyRecordsMessage(const QString &path)
{
    return QCoreApplication::translate(
               "qm", "Die Etikettendatei %1 enthält mehr als %2 Einträge und kann nicht gedruckt "
                     "werden. Bitte verringern Sie die Zahl der Elemente.")
        .arg(path)
        .arg(MaxPrintRecords);
}

void readPrintDesignLines(const QStringList &lines, const QString &path, PrintDesign &design,
                          const FieldGrids &grids)
{
    PrintDesign read;
    bool named = false;
    int nextColumn = 1;

    auto addField = [&](QString title, QString size, bool inFieldGrid) {
        read.fields.push_back(DataField{nextColumn, std::move(title), std::move(size), inFieldGrid});
        ++nextColumn;
        read.hasFields = true;
        ++read.fieldCount;
    };

    int number = 0; // of the line in the file
    for (const QString &original : lines) {
        ++number;
        QString line = original + u',';
        const QString key = take(line).left(2);
        if (key.isEmpty() || key == u"**")
            continue;
        if (read.recordCount() >= MaxPrintRecords)
            throw Error(tooManyRecordsMessage(path));
        read.records.emplace_back();
        PrintRecord &r = read.records.back();
        r.key = key;

        if (key == u"NA") {
            r.text = take(line);
            read.name = r.text;
            named = true;
        } else if (key == u"GR") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            read.labelWidth = r.a;
            read.labelHeight = r.b;
            read.printScale = r.c;
        } else if (key == u"SP" || key == u"XP") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
        } else if (key == u"LI" || key == u"RE" || key == u"RA" || key == u"EL") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            r.d = takeNumber(line);
        } else if (key == u"SF") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            r.d = takeNumber(line);
            r.text = take(line);
        } else if (key == u"XF") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            r.d = takeNumber(line);
            r.text = take(line);
            r.e = takeNumber(line);
        } else if (key == u"TE" || key == u"BM") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.text = takeRest(line);
        } else if (key == u"XB") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            r.d = takeNumber(line);
            r.text = take(line);
        } else if (key == u"BC") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            r.d = takeNumber(line);
            const QString kind = take(line);
            r.text = take(line);
            // The eighth field, when present, is the field size 1..500.
            const QString size = take(line);
            // A kind or size the program does not read: the line is kept and
            // takes its column, as one written elsewhere, and draws nothing.
            const std::optional<int> kindNumber = barcodeKindNumber(kind);
            const std::optional<int> storedSize = barcodeFieldSize(size);
            r.e = kindNumber && storedSize ? *kindNumber : -1;
            int fieldSize = storedSize.value_or(UnsizedBarcodeField);
            if (const std::optional<Symbology> symbology = symbologyOf(r.e))
                fieldSize = barcodeFieldLimit(*symbology, fieldSize);
            if (const QString fault = barcodeLineFault(kind, size, qint64(r.c) - r.a, qint64(r.d) - r.b);
                !fault.isEmpty())
                read.notices << barcodeNotice(path, number, r.text, fault);
            addField(r.text, QString::number(fieldSize), true);
        } else if (key == u"BF") {
            // A picture whose file the record names: it takes a data column
            // like a field.
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            r.d = takeNumber(line);
            r.text = take(line);
            const QString size = take(line);
            addField(r.text, size.isEmpty() ? QString::number(UnsizedPictureField) : size, true);
        } else if (key == u"XT") {
            QStringList fields;
            for (int i = 0; i < 6; ++i)
                fields << take(line);
            if (const QString fault = textBoxLineFault(fields); !fault.isEmpty()) {
                read.notices << textBoxNotice(path, number, fault);
            } else {
                r.a = parseStrictInt(fields[0].trimmed()).value_or(0);
                r.b = parseStrictInt(fields[1].trimmed()).value_or(0);
                r.c = parseStrictInt(fields[2].trimmed()).value_or(0);
                r.d = parseStrictInt(fields[3].trimmed()).value_or(0);
                r.e = parseStrictInt(fields[4].trimmed()).value_or(0);
                r.f = parseStrictInt(fields[5].trimmed()).value_or(0);
            }
        } else if (key == u"EF") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            const QString size = take(line);
            r.c = lenientToInt(size);
            r.text = take(line);
            addField(r.text, size, true);
        } else if (key == u"SE") {
            r.a = takeNumber(line);
            r.b = takeNumber(line);
            r.c = takeNumber(line);
            if (r.c != 0) {
                r.text = take(line);
                r.text2 = take(line);
                addField(QStringLiteral("Seriennr.[") + r.text + u']', QStringLiteral("6"), false);
            }
        }
    }

    addTextFields(read, nextColumn);

    // Everything read: now the design and the grids change.
    registerFields(read, grids);
    if (grids.entryGrid)
        grids.entryGrid->setCell(0, 0, QString::number(read.fieldCount));
    if (grids.fieldGridCaption && named)
        *grids.fieldGridCaption = fieldGridCaption(read.name);
    if (grids.statusText)
        *grids.statusText = read.name;
    design = std::move(read);
}

bool EtikettdateiLesen(const QString &path, PrintDesign &design, const FieldGrids &grids)
{
    const std::optional<QStringList> lines = readTextLinesIfOpenable(path);
    if (!lines)
        return false;
    readPrintDesignLines(*lines, path, design, grids);
    return true;
}

} // namespace qm
