#pragma once

#include "platform/services.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QMessageBox;

namespace qm {

// Message boxes with German buttons: "OK", "Abbrechen", "&Ja", "&Nein",
// "&Abbrechen" (Abort), "&Wiederholen", "&Ignorieren". Information, warning,
// confirmation and error boxes carry the matching icon, a plain box none.
class QtMessages : public IMessages
{
public:
    explicit QtMessages(QWidget *parent = nullptr);
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    MessageButton show(MessageKind kind, const QString &text, MessageButtons buttons,
                       const QString &caption = QString()) override;

    // The box show() runs, built but not shown.
    static std::unique_ptr<QMessageBox> createBox(MessageKind kind, const QString &text,
                                                  MessageButtons buttons, const QString &caption,
                                                  QWidget *parent = nullptr);
    // The answer a pressed button of such a box stands for.
    static MessageButton answerOf(const QMessageBox &box);

    static QString buttonText(MessageButton button);

private:
    QPointer<QWidget> m_parent;
};

} // namespace qm
