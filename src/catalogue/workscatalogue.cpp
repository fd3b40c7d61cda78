#include "workscatalogue.h"

#include "platform/errors.h"
#include "platform/filelock.h"
#include "platform/services.h"

#include "programdir/filelookup.h"

#include <QCollator>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace qm {
namespace {

// "Abbrechen" is the only button of the catalogue's hints and warnings.
void tell(IMessages &messages, MessageKind kind, const QString &text)
{
    messages.show(kind, text, MessageButton::Cancel);
}

bool confirmed(IMessages &messages, MessageKind kind, const QString &question)
{
    return messages.show(kind, question, MessageButton::Yes | MessageButton::No)
           == MessageButton::Yes;
}

bool isEntry(const std::optional<WorksSelection> &selection)
{
    return selection && selection->kind == WorksNodeKind::Entry;
}

bool isArea(const std::optional<WorksSelection> &selection)
{
    return selection && selection->kind == WorksNodeKind::Area;
}

} // namespace

WorksSelection WorksSelection::forArea(const QString &name)
{
    return WorksSelection{WorksNodeKind::Area, name, name, -1};
}

WorksSelection WorksSelection::forEntry(const QString &area, const WorksTreeEntry &entry)
{
    return WorksSelection{WorksNodeKind::Entry, entry.entry.name, area, entry.record};
}

int findSelectedRecord(const QList<WorksEntry> &entries, const WorksSelection &selection)
{
    if (selection.kind != WorksNodeKind::Entry)
        return -1;
    auto matches = [&](const WorksEntry &e) {
        return e.area == selection.area && e.name == selection.text;
    };
    if (selection.record >= 0 && selection.record < entries.size()
        && matches(entries.at(selection.record))) {
        return selection.record;
    }
    const auto it = std::find_if(entries.cbegin(), entries.cend(), matches);
    return it == entries.cend() ? -1 : int(it - entries.cbegin());
}

WorksCatalogue::WorksCatalogue(ProgramDirectory dir)
    : m_dir(std::move(dir))
{
}

int WorksCatalogue::createMissingFiles()
{
    int created = 0;
    // Anything under the name (a folder, a file without read access) is left
    // for load() to report.
    if (!QFileInfo(m_dir.areasFile()).exists() && !QFileInfo(m_dir.areasFile()).isSymLink()) {
        writeAreasFile(m_dir.areasFile(), emptyAreasFile());
        ++created;
    }
    if (!QFileInfo(m_dir.worksFile()).exists() && !QFileInfo(m_dir.worksFile()).isSymLink()) {
        writeWorksFile(m_dir.worksFile(), emptyWorksFile());
        ++created;
    }
    return created;
}

void WorksCatalogue::load()
{
    const AreasFile areasFile = readAreasFile(m_dir.areasFile());
    const WorksFile worksFile = readWorksFile(m_dir.worksFile());

    // The entries of each area name, gathered in one pass: an area line that
    // stands twice shares the same list, so loading stays linear.
    QHash<QString, QList<WorksTreeEntry>> byArea;
    byArea.reserve(areasFile.areas.size());
    for (const QString &name : areasFile.areas)
        byArea.insert(name, {});
    for (int i = 0; i < worksFile.entries.size(); ++i) {
        const auto it = byArea.find(worksFile.entries.at(i).area);
        if (it != byArea.end())
            it->append(WorksTreeEntry { i, worksFile.entries.at(i) });
    }
    QList<WorksArea> areas;
    areas.reserve(areasFile.areas.size());
    for (const QString &name : areasFile.areas)
        areas.append(WorksArea { name, byArea.value(name) });
    m_areas = std::move(areas);
    m_entries = worksFile.entries;
}

QList<WorksArea> WorksCatalogue::treeAreas() const
{
    QCollator collator{QLocale(QLocale::German, QLocale::Germany)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<WorksArea> areas = m_areas;
    for (WorksArea &area : areas) {
        std::stable_sort(area.entries.begin(), area.entries.end(),
                         [&](const WorksTreeEntry &a, const WorksTreeEntry &b) {
                             return collator.compare(a.entry.name, b.entry.name) < 0;
                         });
    }
    std::stable_sort(areas.begin(), areas.end(), [&](const WorksArea &a, const WorksArea &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return areas;
}

template<typename Change>
void WorksCatalogue::changeFiles(Change &&change)
{
    try {
        // Both files, always in this order, from the first read to the last
        // rename.
        const CatalogueLock works(m_dir.worksFile());
        const CatalogueLock areas(m_dir.areasFile());
        change();
    } catch (...) {
        try {
            load();
        } catch (const Error &) {
            // The first error is the one to report.
        }
        throw;
    }
    load();
}

bool WorksCatalogue::checkAreaName(const QString &name, IMessages &messages)
{
    if (!name.isEmpty())
        return true;
    messages.show(MessageKind::Plain,
                  QCoreApplication::translate("qm",
                                              "Bitte geben Sie den Namen des neuen Bereichs ein."),
                  MessageButton::Ok);
    return false;
}

bool WorksCatalogue::createArea(const QString &name, IMessages &messages)
{
    if (!checkAreaName(name, messages))
        return false;
    changeFiles([&] {
        AreasFile file = readAreasFile(m_dir.areasFile());
        file.areas.append(name);
        writeAreasFile(m_dir.areasFile(), file);
    });
    return true;
}

std::optional<QString> WorksCatalogue::areaForNewEntry(
    const std::optional<WorksSelection> &selection, IMessages &messages) const
{
    if (isArea(selection))
        return selection->text;
    tell(messages, MessageKind::Information,
         QCoreApplication::translate("qm", "Bitte wählen Sie einen Bereich bei dem der neue "
                                           "Eintrag hinzugefügt werden soll."));
    return std::nullopt;
}

void WorksCatalogue::appendEntry(const WorksEntry &entry)
{
    changeFiles([&] {
        WorksFile file = readWorksFile(m_dir.worksFile());
        file.entries.append(entry);
        writeWorksFile(m_dir.worksFile(), file);
    });
}

std::optional<WorksEntry> WorksCatalogue::entryToChange(
    const std::optional<WorksSelection> &selection, IMessages &messages)
{
    if (!isEntry(selection)) {
        tell(messages, MessageKind::Information,
             QCoreApplication::translate("qm", "Bitte wählen Sie einen Eintrag aus."));
        return std::nullopt;
    }
    const WorksFile file = readWorksFile(m_dir.worksFile());
    const int record = findSelectedRecord(file.entries, *selection);
    if (record < 0) {
        load();
        return std::nullopt;
    }
    return file.entries.at(record);
}

bool WorksCatalogue::changeEntry(const WorksSelection &selection, const WorksEntry &values)
{
    bool changed = false;
    changeFiles([&] {
        WorksFile file = readWorksFile(m_dir.worksFile());
        const int record = findSelectedRecord(file.entries, selection);
        if (record < 0)
            return;
        WorksEntry &entry = file.entries[record];
        entry.name = values.name;
        entry.formatFile = values.formatFile;
        entry.designFile = values.designFile;
        entry.databaseFile = values.databaseFile;
        writeWorksFile(m_dir.worksFile(), file);
        changed = true;
    });
    return changed;
}

bool WorksCatalogue::deleteArea(const std::optional<WorksSelection> &selection,
                                IMessages &messages)
{
    if (!selection)
        return false;
    if (!isArea(selection)) {
        tell(messages, MessageKind::Error,
             QCoreApplication::translate("qm", "Bitte wählen Sie einen Bereich aus !"));
        return false;
    }
    const QString name = selection->text;
    if (!confirmed(messages, MessageKind::Confirmation,
                   QCoreApplication::translate(
                       "qm", "Soll wirklich der Bereich \"%1\" mit all seinen Einträgen "
                             "gelöscht werden ?")
                       .arg(name))) {
        return false;
    }
    changeFiles([&] {
        AreasFile areas = readAreasFile(m_dir.areasFile());
        WorksFile works = readWorksFile(m_dir.worksFile());
        areas.areas.removeAll(name);
        works.entries.removeIf([&](const WorksEntry &e) { return e.area == name; });
        // Entries first: should the second write fail, the area stays, empty,
        // and can be deleted again; the other way round its entries would
        // linger unseen.
        writeWorksFile(m_dir.worksFile(), works);
        writeAreasFile(m_dir.areasFile(), areas);
    });
    return true;
}

bool WorksCatalogue::deleteEntry(const std::optional<WorksSelection> &selection,
                                 IMessages &messages)
{
    if (!selection)
        return false;
    if (!isEntry(selection)) {
        tell(messages, MessageKind::Error,
             QCoreApplication::translate("qm", "Bitte wählen Sie einen Eintrag aus !"));
        return false;
    }
    if (!confirmed(messages, MessageKind::Confirmation,
                   QCoreApplication::translate("qm",
                                               "Soll wirklich der Eintrag \"%1\" gelöscht werden ?")
                       .arg(selection->text))) {
        return false;
    }
    bool deleted = false;
    changeFiles([&] {
        WorksFile file = readWorksFile(m_dir.worksFile());
        const int record = findSelectedRecord(file.entries, *selection);
        if (record < 0)
            return;
        file.entries.removeAt(record);
        writeWorksFile(m_dir.worksFile(), file);
        deleted = true;
    });
    return deleted;
}

bool WorksCatalogue::deleteAll(IMessages &messages)
{
    if (!confirmed(messages, MessageKind::Warning,
                   QCoreApplication::translate("qm",
                                               "Sollen wirklich alle Bereiche und Einträge aus der "
                                               "Übersicht \"Eigene Werke\" entfernt werden ?"))) {
        return false;
    }
    changeFiles([&] {
        // Entries first, as in deleteArea.
        writeWorksFile(m_dir.worksFile(), emptyWorksFile());
        writeAreasFile(m_dir.areasFile(), emptyAreasFile());
    });
    return true;
}

std::optional<WorksEntry> WorksCatalogue::findEntry(const std::optional<WorksSelection> &selection,
                                                    IMessages &messages, bool silent) const
{
    if (!selection)
        return std::nullopt;
    if (!isEntry(selection)) {
        if (!silent) {
            tell(messages, MessageKind::Information,
                 QCoreApplication::translate("qm", "Bitte wählen Sie einen Eintrag eines Bereiches "
                                                   "in der Übersicht \"Eigene Werke\" aus."));
        }
        return std::nullopt;
    }
    const WorksFile file = readWorksFile(m_dir.worksFile());
    const int record = findSelectedRecord(file.entries, *selection);
    if (record < 0)
        return std::nullopt;
    WorksEntry entry = file.entries.at(record);
    entry.formatFile = resolveEntryPath(m_dir, entry.formatFile, EntryFileKind::Format);
    entry.designFile = resolveEntryPath(m_dir, entry.designFile, EntryFileKind::Design);
    entry.databaseFile = resolveEntryPath(m_dir, entry.databaseFile, EntryFileKind::Database);
    return entry;
}

} // namespace qm
