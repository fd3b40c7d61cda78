#include "formatselection.h"

#include "formatimport.h"
#include "platform/errors.h"
#include "platform/services.h"
#include "platform/textfile.h"
#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"
#include "stockindex.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// Lists longer than this are cut in the message box, with a note.
constexpr int MaxListedLines = 25;

QString listed(const QStringList &lines)
{
    QStringList shown = lines.mid(0, MaxListedLines);
    if (lines.size() > MaxListedLines)
        shown.append(tr("... und %1 weitere").arg(lines.size() - MaxListedLines));
    return shown.join(QLatin1Char('\n'));
}

} // namespace

FormatSelectionCore::FormatSelectionCore(
    const ProgramDirectory &dir, IMessages &messages, IFileDialogs &fileDialogs, IFormatExpert &expert)
    : m_dir(dir)
    , m_messages(messages)
    , m_fileDialogs(fileDialogs)
    , m_expert(expert)
{ }

void FormatSelectionCore::FormShow(FormatSelectionView &view)
{
    view.areas = formatAreas();
    view.areaIndex = -1;
    try {
        createFormatsFileIfMissing(m_dir.formatsFile());
    } catch (const Error &e) {
        showError(e.message());
    }
    HoleFormate(view);
    view.formatClicked = false;
}

void FormatSelectionCore::HoleFormate(FormatSelectionView &view)
{
    view.formats.clear();
    view.formatIndex = -1;
    m_entries.clear();
    try {
        m_entries = readFormatsFile(m_dir.formatsFile());
    } catch (const Error &e) {
        showError(e.message());
    }
}

void FormatSelectionCore::ListBereichClick(FormatSelectionView &view, int index)
{
    view.areaIndex = (index >= 0 && index < view.areas.size()) ? index : -1;
    view.formats = view.areaIndex < 0 ? QStringList() : sortedDescriptions(m_entries, view.areas[index]);
    view.formatIndex = -1;
    view.formatClicked = false;
}

void FormatSelectionCore::ListFormatClick(FormatSelectionView &view, int index)
{
    if (index < 0 || index >= view.formats.size())
        return;
    view.formatIndex = index;
    view.formatClicked = true;
}

QString FormatSelectionCore::selectedArea(const FormatSelectionView &view) const
{
    return view.areas.value(view.areaIndex);
}

QString FormatSelectionCore::selectedFormat(const FormatSelectionView &view) const
{
    return view.formats.value(view.formatIndex);
}

QString FormatSelectionCore::entryFilePath(const QString &stored) const
{
    return resolveEntryPath(m_dir, stored, EntryFileKind::Format);
}

std::optional<QString> FormatSelectionCore::Button_OkClick(
    const FormatSelectionView &view, const QString &mode) const
{
    if (mode != QLatin1String("E") || !view.formatClicked)
        return std::nullopt;
    const QList<FormatEntry> found = matchingEntries(m_entries, selectedArea(view), selectedFormat(view));
    if (found.isEmpty())
        return std::nullopt;
    return found.last().file;
}

void FormatSelectionCore::refill(FormatSelectionView &view)
{
    const int area = view.areaIndex;
    HoleFormate(view);
    ListBereichClick(view, area);
}

void FormatSelectionCore::Button_NeuClick(FormatSelectionView &view)
{
    if (view.areaIndex < 0) {
        m_messages.show(
            MessageKind::Information, tr("Bitte wählen Sie einen Bereich aus !"), MessageButton::Ok);
        return;
    }
    const QString path = m_fileDialogs.save(tr("Neue Formatdatei anlegen"),
        tr("Formatdatei (*.vrl)|*.vrl|Alle Dateien (*.*)|*.*"), QStringLiteral("*.vrl"),
        m_dir.subdirPath(ProgramDirectory::FormatSubdir));
    if (path.isEmpty())
        return;
    if (m_expert.editFormat(QStringLiteral("N"), path)) {
        try {
            appendFormatEntry(
                m_dir.formatsFile(), FormatEntry { selectedArea(view), m_expert.description(), path });
        } catch (const Error &e) {
            showError(e.message());
        }
    }
    refill(view);
}

void FormatSelectionCore::Button_AendernClick(FormatSelectionView &view)
{
    if (!view.formatClicked) {
        m_messages.show(MessageKind::Information, tr("Bitte wählen Sie ein Format aus !"), MessageButton::Ok);
        return;
    }
    const QList<FormatEntry> found = matchingEntries(m_entries, selectedArea(view), selectedFormat(view));
    for (const FormatEntry &entry : found)
        m_expert.editFormat(QStringLiteral("Ä"), entryFilePath(entry.file));
}

void FormatSelectionCore::Button_LoeschenClick(FormatSelectionView &view)
{
    if (!view.formatClicked) {
        m_messages.show(MessageKind::Information, tr("Bitte wählen Sie ein Format aus !"), MessageButton::Ok);
        return;
    }
    const QString area = selectedArea(view);
    const QString description = selectedFormat(view);
    const QString question = tr("Wollen Sie wirklich das Format") + QLatin1Char(' ') + QLatin1Char('"')
        + description + QLatin1Char('"') + QLatin1Char(' ') + tr("löschen ?");
    if (m_messages.show(MessageKind::Warning, question, MessageButton::Yes | MessageButton::No)
        != MessageButton::Yes)
        return;
    const QList<FormatEntry> found = matchingEntries(m_entries, area, description);
    if (found.isEmpty())
        return;
    try {
        const QString file = entryFilePath(found.first().file);
        if (!fileExists(file))
            throw IoError(ENOENT);
        // The catalogue first: should it fail, the format is still whole.
        removeFormatEntries(m_dir.formatsFile(), area, description);
        if (!QFile::remove(file))
            throw IoError(EACCES);
    } catch (const Error &e) {
        showError(e.message());
    }
    refill(view);
}

void FormatSelectionCore::Button_ImportierenClick(FormatSelectionView &view)
{
    const QString path = m_fileDialogs.open(tr("Etikettenvorlagen importieren"),
        tr("Etikettenvorlagen (*.xml)|*.xml|Alle Dateien (*.*)|*.*"), QStringLiteral("*.xml"));
    if (path.isEmpty())
        return;
    try {
        const ImportResult result = importTemplateFile(m_dir, path);
        QStringList added;
        for (const FormatEntry &entry : result.added)
            added.append(entry.description);
        QStringList skipped;
        for (const SkippedTemplate &s : result.skipped)
            skipped.append(s.name + QStringLiteral(": ") + s.reason);
        QString text = tr("%1 Formate wurden unter \"%2\" aufgenommen.")
                           .arg(result.added.size())
                           .arg(individualFormatsArea());
        if (!added.isEmpty())
            text += QStringLiteral("\n\n") + listed(added);
        if (!skipped.isEmpty())
            text += QStringLiteral("\n\n") + tr("Nicht aufgenommen:") + QLatin1Char('\n') + listed(skipped);
        m_messages.show(MessageKind::Information, text, MessageButton::Ok);
    } catch (const Error &e) {
        showError(e.message());
    }
    refill(view);
}

std::optional<QString> FormatSelectionCore::takeStockSheet(FormatSelectionView &view, const StockSheet &sheet)
{
    FormatEntry entry;
    try {
        entry = addIndividualFormat(m_dir, sheet.description, sheet.fileName, sheet.format);
    } catch (const Error &e) {
        showError(e.message());
        refill(view);
        return std::nullopt;
    }
    // The entry made, or the one that held the sheet already.
    HoleFormate(view);
    ListBereichClick(view, int(view.areas.indexOf(entry.area)));
    ListFormatClick(view, int(view.formats.indexOf(entry.description)));
    return entry.file;
}

void FormatSelectionCore::showError(const QString &message)
{
    m_messages.show(MessageKind::Error, message, MessageButton::Ok);
}

} // namespace qm

namespace qm {

QString FormatChoice::caption() const
{
    return description + QStringLiteral(" (") + area + QLatin1Char(')');
}

QList<FormatChoice> catalogueFormatChoices(const ProgramDirectory &dir)
{
    QList<FormatEntry> entries;
    try {
        entries = readFormatsFile(dir.formatsFile());
    } catch (const Error &) {
        return {};
    }
    // Of equal entries the last counts, as in the selection.
    QHash<QString, QString> lastFile;
    for (const FormatEntry &entry : std::as_const(entries))
        lastFile.insert(entry.area + QLatin1Char('\n') + entry.description, entry.file);
    QList<FormatChoice> choices;
    for (const QString &area : formatAreas()) {
        QString previous;
        bool first = true;
        for (const QString &description : sortedDescriptions(entries, area)) {
            if (!first && description == previous)
                continue;
            first = false;
            previous = description;
            const QString file = lastFile.value(area + QLatin1Char('\n') + description);
            choices.append(FormatChoice { area, description, resolveEntryPath(dir, file, EntryFileKind::Format) });
        }
    }
    return choices;
}

int formatChoiceIndex(const QList<FormatChoice> &choices, const QString &path)
{
    if (path.trimmed().isEmpty())
        return -1;
    const QFileInfo wanted(path.trimmed());
    for (qsizetype i = 0; i < choices.size(); ++i) {
        const QFileInfo info(choices[i].path);
        if (info.absoluteFilePath() == wanted.absoluteFilePath()
            || (info.exists() && wanted.exists() && info.canonicalFilePath() == wanted.canonicalFilePath()))
            return int(i);
    }
    return -1;
}

} // namespace qm
