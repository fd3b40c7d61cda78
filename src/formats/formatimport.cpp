#include "formatimport.h"

#include "platform/errors.h"
#include "platform/filelock.h"
#include "platform/textfile.h"
#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"
#include "sheetgrid.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>

#include <cerrno>
#include <unistd.h>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

void writeVrlFile(const QString &path, const SheetFormat &format)
{
    TextFileWriter writer(path);
    for (const QString &line : vrlFileLines(format))
        writer.writeLine(line);
    writer.commit();
}

// The description, or with " - 2", " - 3", ... the first one not taken yet.
// Each description remembers the next number to try, so that n equal
// descriptions cost n lookups, not n * n.
struct TakenDescriptions
{
    QSet<QString> taken;
    QHash<QString, int> next;
};

QString uniqueDescription(const QString &description, TakenDescriptions &descriptions)
{
    QString candidate = description;
    int &n = descriptions.next[description];
    if (n < 2)
        n = 2;
    while (descriptions.taken.contains(candidate)) {
        const QString suffix = QStringLiteral(" - %1").arg(n++);
        candidate = description.left(MaxDescriptionLength - suffix.size()) + suffix;
    }
    descriptions.taken.insert(candidate);
    return candidate;
}

// The description in a VRL file, whose NA line ends at a comma: decimal
// commas become points there.
QString vrlDescription(const QString &description)
{
    return QString(description).replace(QLatin1Char(','), QLatin1Char('.'));
}

// VRL files of an import that the catalogue does not name yet: written as
// ".qm-import-NAME.vrl" and renamed to NAME.vrl once FORMATE.DAT names them.
const QLatin1StringView StagedPrefix(".qm-import-");

// Free file names in one folder: the names there are listed once, and each
// stem remembers the next number to try, so n formats of one stem cost n
// lookups, not n * n.
class FreeFileNames
{
public:
    explicit FreeFileNames(const QString &folder)
    {
        const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        for (const QString &name : QDir(folder).entryList(all)) {
            const QString lower = name.toLower();
            m_used.insert(lower.startsWith(StagedPrefix) ? lower.mid(StagedPrefix.size()) : lower);
        }
    }

    // The file name, or stem_2.vrl, stem_3.vrl, ... the first that is free;
    // it is taken from then on.
    QString take(const QString &fileName)
    {
        const QString stem = fileName.chopped(4); // ".vrl"
        QString candidate = fileName;
        int &next = m_next[stem.toLower()];
        if (next < 2)
            next = 2;
        while (m_used.contains(candidate.toLower()))
            candidate = QStringLiteral("%1_%2.vrl").arg(stem).arg(next++);
        m_used.insert(candidate.toLower());
        return candidate;
    }

private:
    QSet<QString> m_used;
    QHash<QString, int> m_next;
};

FormatWriteStepHook stepHook = nullptr;

void reached(FormatWriteStep step)
{
    if (stepHook)
        stepHook(step);
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile fa(a);
    QFile fb(b);
    return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly) && fa.size() == fb.size()
        && fa.readAll() == fb.readAll();
}

// Finishes or undoes what a killed writer left in the FORMATE folder. A
// staged file whose name the catalogue names was left after the catalogue
// was replaced: it goes (and gives its name to the file when a writer of an
// earlier version had not renamed it yet). Any other staged file belongs to
// a writer killed before the catalogue named its formats: it goes, and so
// does the file it had put under the new name, which was free when the
// staged file was made. Runs under the catalogue's lock.
void finishStagedFiles(const QString &folder, const QList<FormatEntry> &entries)
{
    const QStringList staged = QDir(folder).entryList(
        QStringList { StagedPrefix + QLatin1Char('*') }, QDir::Files | QDir::Hidden | QDir::System);
    if (staged.isEmpty())
        return;
    QSet<QString> named;
    for (const FormatEntry &entry : entries)
        named.insert(entry.file.toLower());
    for (const QString &name : staged) {
        const QString finalName = name.mid(StagedPrefix.size());
        const QString target = folder + finalName;
        const bool there = QFileInfo::exists(target) || QFileInfo(target).isSymLink();
        if (named.contains(finalName.toLower())) {
            if (!there && QFile::rename(folder + name, target))
                continue;
        } else if (there && fileExists(target) && sameBytes(target, folder + name)) {
            QFile::remove(target);
        }
        QFile::remove(folder + name);
    }
}

// The staged file under its own name as well: a second link to it, or a
// copy where the file system has no links. The name was free when the
// staged file was made; should it be taken now, nothing is replaced.
void placeStagedFile(const QString &folder, const QString &fileName)
{
    const QString staged = folder + StagedPrefix + fileName;
    const QString target = folder + fileName;
    if (::link(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) == 0)
        return;
    if (errno == EEXIST || QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        throw Error(tr("Die Datei %1 konnte nicht angelegt werden: Es gibt sie schon.").arg(target));
    writeFileAtomically(target, readFileBytes(staged));
}

// The last steps of every writer of new formats, whose VRL files are staged
// in the folder: each gets its name beside its staged file, then the
// catalogue is replaced with `entries`, then the staged files go. A kill
// before the catalogue is replaced leaves the old catalogue, one after it
// the new one with every file it names; what is left over is the next
// writer's to remove (finishStagedFiles). On an error every file of the
// writer is removed again and the catalogue is the old one.
void commitStagedFormats(const QString &folder, const QString &catalogue, const QList<FormatEntry> &entries,
    const QStringList &staged)
{
    QStringList placed;
    try {
        reached(FormatWriteStep::FilesStaged);
        for (const QString &fileName : staged) {
            placeStagedFile(folder, fileName);
            placed.append(fileName);
        }
        reached(FormatWriteStep::FilesNamed);
        writeFormatsFile(catalogue, entries);
    } catch (const Error &) {
        for (const QString &fileName : std::as_const(placed))
            QFile::remove(folder + fileName);
        for (const QString &fileName : staged)
            QFile::remove(folder + StagedPrefix + fileName);
        throw;
    }
    reached(FormatWriteStep::CatalogueReplaced);
    for (const QString &fileName : staged)
        QFile::remove(folder + StagedPrefix + fileName);
    reached(FormatWriteStep::Done);
}

// Whether the VRL file at path has the labels of `format` (sheet extent and
// every label's place and size).
bool hasLabelsOf(const QString &path, const SheetFormat &format)
{
    SheetFormat there;
    try {
        if (!FormatdateiLesen(path, there))
            return false;
    } catch (const Error &) {
        return false;
    }
    return there.extentWidth == format.extentWidth && there.extentHeight == format.extentHeight
        && there.positions == format.positions;
}

// The catalogue (made when missing) and the FORMATE folder ready for new
// formats; the folder's path.
QString readyFormatsFolder(const ProgramDirectory &dir)
{
    createFormatsFileIfMissing(dir.formatsFile());
    const QString folder = dir.subdirPath(ProgramDirectory::FormatSubdir);
    if (!QDir().mkpath(folder))
        throw Error(tr("Das Verzeichnis %1 kann nicht angelegt werden.").arg(folder));
    return folder;
}

// The catalogue's entries, read under its lock, with what a killed import
// left in the folder finished or removed.
QList<FormatEntry> entriesUnderLock(const QString &catalogue, const QString &folder)
{
    QList<FormatEntry> entries = readFormatsFile(catalogue);
    finishStagedFiles(folder, entries);
    return entries;
}

struct Family
{
    bool inkjet = false;
    bool laser = false;
};

QString familyKey(const LabelTemplate &t)
{
    return t.brand.toLower() + QLatin1Char('\n') + (t.equiv.isEmpty() ? t.part : t.equiv);
}

StockFormat sheetOnly(
    const QString &area, const QString &name, const QString &fileName, int width, int height)
{
    StockFormat stock;
    stock.area = area;
    stock.description = name + QLatin1Char(' ') + labelSizeText(width, height, 1, 1);
    stock.fileName = fileName;
    SheetFormat &f = stock.format;
    f.extentWidth = width;
    f.extentHeight = height;
    f.positions.push_back(LabelPosition { 0, 0, width, height });
    f.lastLabelWidth = width;
    f.lastLabelHeight = height;
    return stock;
}

} // namespace

void setFormatWriteStepHook(FormatWriteStepHook hook)
{
    stepHook = hook;
}

ImportResult importTemplateFile(const ProgramDirectory &dir, const QString &xmlPath)
{
    QList<LabelTemplate> templates = readLabelTemplates(xmlPath);
    resolveEquivalents(templates);
    const TemplateConversion conversion = convertTemplates(templates, true);

    const QString catalogue = dir.formatsFile();
    const QString folder = readyFormatsFolder(dir);
    // From the first read of the catalogue to the last staged file removed.
    const CatalogueLock lock(catalogue);
    QList<FormatEntry> entries = entriesUnderLock(catalogue, folder);
    const QString area = individualFormatsArea();
    QSet<QString> taken;
    for (const FormatEntry &entry : std::as_const(entries))
        if (entry.area == area)
            taken.insert(entry.description);

    ImportResult result;
    result.skipped = conversion.skipped;
    FreeFileNames freeNames(folder);
    QStringList staged; // plain file names, without the prefix
    try {
        TakenDescriptions inThisFile;
        QHash<QString, int> perTemplate;
        QHash<QString, int> refused; // the count beyond the bound, per template
        QStringList refusedOrder;
        for (const ConvertedFormat &converted : conversion.formats) {
            if (taken.contains(converted.description)) {
                result.skipped.append(SkippedTemplate { converted.description, tr("schon im Katalog") });
                continue;
            }
            const QString name = (converted.brand + QLatin1Char(' ') + converted.part).trimmed();
            if (++perTemplate[name] > MaxFormatsPerTemplate) {
                if (refused[name]++ == 0)
                    refusedOrder.append(name);
                continue;
            }
            SheetFormat format = converted.format;
            const QString description = uniqueDescription(converted.description, inThisFile);
            format.description = vrlDescription(description);
            const QString fileName = freeNames.take(converted.fileName);
            writeVrlFile(folder + StagedPrefix + fileName, format);
            staged.append(fileName);
            const FormatEntry entry { area, description, fileName };
            entries.append(entry);
            result.added.append(entry);
        }
        for (const QString &name : std::as_const(refusedOrder)) {
            result.skipped.append(SkippedTemplate { name,
                tr("mehr als %1 Bögen aus einer Vorlage, %2 weitere nicht aufgenommen")
                    .arg(MaxFormatsPerTemplate)
                    .arg(refused.value(name)) });
        }
    } catch (const Error &) {
        for (const QString &fileName : std::as_const(staged))
            QFile::remove(folder + StagedPrefix + fileName);
        throw;
    }
    if (!result.added.isEmpty())
        commitStagedFormats(folder, catalogue, entries, staged);
    return result;
}

FormatEntry addIndividualFormat(const ProgramDirectory &dir, const QString &description,
    const QString &fileName, const SheetFormat &format)
{
    const QString catalogue = dir.formatsFile();
    const QString folder = readyFormatsFolder(dir);
    // From the first read of the catalogue to the last staged file removed.
    const CatalogueLock lock(catalogue);
    QList<FormatEntry> entries = entriesUnderLock(catalogue, folder);
    // The catalogue holds the sheet already when an entry names a file of
    // that name with these labels, in whichever area.
    for (const FormatEntry &entry : std::as_const(entries))
        if (DateinameHolen(entry.file).compare(fileName, Qt::CaseInsensitive) == 0
            && hasLabelsOf(resolveEntryPath(dir, entry.file, EntryFileKind::Format), format))
            return entry;
    const QString area = individualFormatsArea();
    for (const FormatEntry &entry : std::as_const(entries)) {
        if (entry.area != area || entry.description != description)
            continue;
        const QString path = resolveEntryPath(dir, entry.file, EntryFileKind::Format);
        if (!fileExists(path))
            throw Error(tr("Unter \"%1\" steht das Format \"%2\" schon, aber seine Datei %3 fehlt.")
                            .arg(area, description, path));
        if (!hasLabelsOf(path, format))
            throw Error(tr("Unter \"%1\" gibt es schon ein Format \"%2\" mit anderen Etiketten (Datei %3).")
                            .arg(area, description, path));
        return entry;
    }
    const QString name = FreeFileNames(folder).take(fileName);
    SheetFormat written = format;
    written.description = vrlDescription(description);
    const FormatEntry entry { area, description, name };
    entries.append(entry);
    try {
        writeVrlFile(folder + StagedPrefix + name, written);
    } catch (const Error &) {
        QFile::remove(folder + StagedPrefix + name);
        throw;
    }
    commitStagedFormats(folder, catalogue, entries, { name });
    return entry;
}

StockCatalogue buildStockCatalogue(const QList<LabelTemplate> &templates)
{
    const QStringList &areas = formatAreas();
    const QString averyInkjet = areas.at(1);
    const QString averyLaser = areas.at(2);
    const QString envelopes = areas.at(3);
    const QString dinSizes = areas.at(4);
    const QString leitzLaser = areas.at(6);
    const QString zweckform = areas.at(7);

    // Which kinds of part numbers each family of equivalent parts has.
    QHash<QString, Family> families;
    for (const LabelTemplate &t : templates) {
        Family &family = families[familyKey(t)];
        if (t.part.startsWith(QLatin1Char('J'), Qt::CaseInsensitive))
            family.inkjet = true;
        if (t.part.startsWith(QLatin1Char('L'), Qt::CaseInsensitive))
            family.laser = true;
    }

    QList<LabelTemplate> chosen;
    for (const LabelTemplate &t : templates) {
        const QString brand = t.brand.toLower();
        if ((brand == QLatin1String("avery") || brand == QLatin1String("zweckform")
                || brand == QLatin1String("leitz"))
            && t.paperId == QLatin1String("A4") && t.labelKind == QLatin1String("rectangle"))
            chosen.append(t);
    }
    const TemplateConversion conversion = convertTemplates(chosen, false);

    QHash<QString, QList<StockFormat>> byArea;
    for (const ConvertedFormat &converted : conversion.formats) {
        const QString brand = converted.brand.toLower();
        QString area = zweckform;
        if (brand == QLatin1String("leitz")) {
            area = leitzLaser;
        } else if (brand == QLatin1String("avery")) {
            LabelTemplate key;
            key.brand = converted.brand;
            key.part = converted.part;
            for (const LabelTemplate &t : chosen)
                if (t.brand == converted.brand && t.part == converted.part)
                    key = t;
            const Family family = families.value(familyKey(key));
            area = family.inkjet && !family.laser ? averyInkjet : averyLaser;
        }
        byArea[area].append(
            StockFormat { area, converted.description, converted.fileName, converted.format });
    }

    // The plain sheets and the usual envelopes, in tenths of a millimetre.
    byArea[dinSizes] = {
        sheetOnly(dinSizes, QStringLiteral("DIN A4"), QStringLiteral("din_a4.vrl"), 2100, 2970),
        sheetOnly(dinSizes, QStringLiteral("DIN A5"), QStringLiteral("din_a5.vrl"), 1480, 2100),
        sheetOnly(dinSizes, QStringLiteral("DIN A6"), QStringLiteral("din_a6.vrl"), 1050, 1480),
    };
    byArea[envelopes] = {
        sheetOnly(envelopes, QStringLiteral("DIN lang (DL)"), QStringLiteral("umschlag_dl.vrl"), 1100, 2200),
        sheetOnly(envelopes, QStringLiteral("C6"), QStringLiteral("umschlag_c6.vrl"), 1140, 1620),
        sheetOnly(envelopes, QStringLiteral("C5"), QStringLiteral("umschlag_c5.vrl"), 1620, 2290),
        sheetOnly(envelopes, QStringLiteral("C6/5"), QStringLiteral("umschlag_c6_5.vrl"), 1140, 2290),
    };

    StockCatalogue catalogue;
    catalogue.skipped = conversion.skipped;
    for (const QString &area : areas) {
        TakenDescriptions taken;
        for (StockFormat stock : byArea.value(area)) {
            stock.description = uniqueDescription(stock.description, taken);
            stock.format.description = vrlDescription(stock.description);
            catalogue.formats.append(stock);
        }
    }
    return catalogue;
}

int writeStockCatalogue(const QString &shareDir, const StockCatalogue &catalogue)
{
    const QString folder = QDir(shareDir).filePath(QStringLiteral("FORMATE")) + QLatin1Char('/');
    if (!QDir().mkpath(folder))
        throw Error(tr("Das Verzeichnis %1 kann nicht angelegt werden.").arg(folder));
    const QString catalogueFile = QDir(shareDir).filePath(QStringLiteral("FORMATE.DAT"));
    createFormatsFileIfMissing(catalogueFile);

    QSet<QString> ours;
    for (const StockFormat &stock : catalogue.formats)
        ours.insert(stock.fileName.toLower());
    QList<FormatEntry> entries = readFormatsFile(catalogueFile);
    entries.removeIf([&](const FormatEntry &entry) { return ours.contains(entry.file.toLower()); });
    for (const StockFormat &stock : catalogue.formats) {
        writeVrlFile(folder + stock.fileName, stock.format);
        entries.append(FormatEntry { stock.area, stock.description, stock.fileName });
    }
    writeFormatsFile(catalogueFile, entries);
    return int(catalogue.formats.size());
}

} // namespace qm
