#pragma once

#include "platform/services.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QFileDialog;

namespace qm {

// File open and save dialogs. The filter comes in the "label|patterns" form
// and is shown as Qt's "label (patterns)"; the save dialog appends the
// default extension to a name typed without one.
class QtFileDialogs : public IFileDialogs
{
public:
    explicit QtFileDialogs(QWidget *parent = nullptr);
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    QString open(const QString &title, const QString &filter, const QString &defaultExt,
                 const QString &directory = QString()) override;
    QString save(const QString &title, const QString &filter, const QString &defaultExt,
                 const QString &directory = QString()) override;

    // The dialog open() or save() runs, built but not shown.
    static std::unique_ptr<QFileDialog> createDialog(bool save, const QString &title,
                                                     const QString &filter,
                                                     const QString &defaultExt,
                                                     const QString &directory,
                                                     QWidget *parent = nullptr);

private:
    QString run(bool save, const QString &title, const QString &filter,
                const QString &defaultExt, const QString &directory);

    QPointer<QWidget> m_parent;
};

} // namespace qm
