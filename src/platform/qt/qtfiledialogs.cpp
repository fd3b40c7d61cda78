#include "qtfiledialogs.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace qm {

QtFileDialogs::QtFileDialogs(QWidget *parent)
    : m_parent(parent)
{
}

std::unique_ptr<QFileDialog> QtFileDialogs::createDialog(bool save, const QString &title,
                                                         const QString &filter,
                                                         const QString &defaultExt,
                                                         const QString &directory,
                                                         QWidget *parent)
{
    auto dialog = std::make_unique<QFileDialog>(parent, title, directory, qtFileFilter(filter));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setDefaultSuffix(normalizedExtension(defaultExt));
    dialog->setLabelText(QFileDialog::Accept, save
                                                  ? QCoreApplication::translate("qm", "&Speichern")
                                                  : QCoreApplication::translate("qm", "Ö&ffnen"));
    dialog->setLabelText(QFileDialog::Reject, QCoreApplication::translate("qm", "Abbrechen"));
    dialog->setLabelText(QFileDialog::LookIn, QCoreApplication::translate("qm", "Suchen in:"));
    dialog->setLabelText(QFileDialog::FileName, QCoreApplication::translate("qm", "Dateiname:"));
    dialog->setLabelText(QFileDialog::FileType, QCoreApplication::translate("qm", "Dateityp:"));
    return dialog;
}

QString QtFileDialogs::run(bool save, const QString &title, const QString &filter,
                           const QString &defaultExt, const QString &directory)
{
    const std::unique_ptr<QFileDialog> dialog =
        createDialog(save, title, filter, defaultExt, directory, m_parent);
    if (dialog->exec() != QDialog::Accepted)
        return QString();
    const QStringList chosen = dialog->selectedFiles();
    if (chosen.isEmpty())
        return QString();
    return save ? withDefaultExtension(chosen.first(), defaultExt) : chosen.first();
}

QString QtFileDialogs::open(const QString &title, const QString &filter,
                            const QString &defaultExt, const QString &directory)
{
    return run(false, title, filter, defaultExt, directory);
}

QString QtFileDialogs::save(const QString &title, const QString &filter,
                            const QString &defaultExt, const QString &directory)
{
    return run(true, title, filter, defaultExt, directory);
}

} // namespace qm
