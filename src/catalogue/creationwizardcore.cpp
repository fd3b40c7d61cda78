#include "catalogue/creationwizardcore.h"

#include "catalogue/workscatalogue.h"
#include "formats/sheetformat.h"
#include "platform/services.h"
#include "programdir/filelookup.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

bool isFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

CreationWizardCore::CreationWizardCore(CreationWizardView &view, IMessages &messages)
    : m_view(view)
    , m_messages(messages)
{ }

void CreationWizardCore::show()
{
    if (m_view.modus == QLatin1String("N")) {
        m_view.bezeichnung.clear();
        m_view.formatDateiname.clear();
        m_view.etikettenDateiname.clear();
        m_view.datenbankDateiname.clear();
    }
    m_view.bezeichnung.truncate(MaxNameLength);
    showStep(0);
    m_view.backEnabled = false;
    m_view.nextEnabled = true;
    m_view.focus = CreationWizardView::Focus::Name;
}

void CreationWizardCore::showStep(int step)
{
    m_view.step = std::clamp(step, 0, LastStep);
}

void CreationWizardCore::next()
{
    m_view.focus = CreationWizardView::Focus::None;
    if (m_view.step == 0 && m_view.bezeichnung.isEmpty()) {
        m_messages.show(MessageKind::Information,
            tr("Bitte wählen Sie eine Bezeichnung für das neue Etikett bzw. Formular."),
            MessageButton::Cancel);
        m_view.backEnabled = false;
        m_view.focus = CreationWizardView::Focus::Name;
        return;
    }
    if (m_view.step == 1 && m_view.formatDateiname.isEmpty()) {
        m_messages.show(MessageKind::Information,
            tr("Bitte wählen Sie ein Format für das neue Etikett bzw. Formular."), MessageButton::Cancel);
        m_view.focus = CreationWizardView::Focus::Format;
        return;
    }
    if (m_view.step == 2 && m_view.etikettenDateiname.isEmpty()) {
        m_messages.show(MessageKind::Information,
            tr("Bitte wählen Sie ein Design für das neue Etikett bzw. Formular."), MessageButton::Cancel);
        m_view.focus = CreationWizardView::Focus::Design;
        return;
    }
    showStep(m_view.step + 1);
    m_view.backEnabled = m_view.step > 0;
    m_view.nextEnabled = m_view.step != LastStep;
}

void CreationWizardCore::back()
{
    showStep(m_view.step - 1);
    m_view.nextEnabled = true;
    m_view.backEnabled = m_view.step != 0;
    m_view.focus = CreationWizardView::Focus::None;
}

bool CreationWizardCore::save(WorksCatalogue &catalogue)
{
    if (m_view.modus == QLatin1String("N")) {
        WorksEntry entry;
        entry.area = m_view.bereich;
        entry.name = m_view.bezeichnung;
        entry.formatFile = m_view.formatDateiname;
        entry.designFile = m_view.etikettenDateiname;
        entry.databaseFile = m_view.datenbankDateiname;
        catalogue.appendEntry(entry);
        m_messages.show(MessageKind::Information,
            tr("Etikett bzw. Formular ") + QLatin1Char('"') + m_view.bezeichnung + QLatin1Char('"')
                + tr(" wurde erfolgreich angelegt."),
            MessageButton::Ok);
    }
    return true;
}

std::optional<std::pair<int, int>> CreationWizardCore::labelSizeForDesign(const ProgramDirectory &dir)
{
    QString path = m_view.formatDateiname;
    if (!isFile(path)) {
        const QString folder = findSubdirCaseInsensitive(dir.path(), ProgramDirectory::FormatSubdir);
        const QString name = DateinameHolen(path);
        const QString found = findFileCaseInsensitive(folder, name);
        path = found.isEmpty() ? folder + QLatin1Char('/') + name : found;
        m_view.formatDateiname = path;
    }
    SheetFormat format;
    if (!isFile(path) || !FormatdateiLesen(path, format)) {
        m_messages.show(MessageKind::Plain, tr("Formatdatei nicht gefunden !"), MessageButton::Ok);
        return std::nullopt;
    }
    // Tenths of a millimetre to whole millimetres, cut.
    return std::make_pair(int(format.lastLabelWidth / 10), int(format.lastLabelHeight / 10));
}

} // namespace qm
