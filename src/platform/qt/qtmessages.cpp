#include "qtmessages.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace qm {
namespace {

const char *const AnswerProperty = "qmAnswer";

QMessageBox::Icon iconFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleFor(MessageButton button)
{
    switch (button) {
    case MessageButton::Ok:
    case MessageButton::Retry:
    case MessageButton::Ignore:
        return QMessageBox::AcceptRole;
    case MessageButton::Yes:
        return QMessageBox::YesRole;
    case MessageButton::No:
        return QMessageBox::NoRole;
    case MessageButton::Cancel:
    case MessageButton::Abort:
    case MessageButton::None:
        break;
    }
    return QMessageBox::RejectRole;
}

} // namespace

QtMessages::QtMessages(QWidget *parent)
    : m_parent(parent)
{
}

QString QtMessages::buttonText(MessageButton button)
{
    switch (button) {
    case MessageButton::Ok:
        return QCoreApplication::translate("qm", "OK");
    case MessageButton::Cancel:
        return QCoreApplication::translate("qm", "Abbrechen");
    case MessageButton::Yes:
        return QCoreApplication::translate("qm", "&Ja");
    case MessageButton::No:
        return QCoreApplication::translate("qm", "&Nein");
    case MessageButton::Abort:
        return QCoreApplication::translate("qm", "&Abbrechen");
    case MessageButton::Retry:
        return QCoreApplication::translate("qm", "&Wiederholen");
    case MessageButton::Ignore:
        return QCoreApplication::translate("qm", "&Ignorieren");
    case MessageButton::None:
        break;
    }
    return QString();
}

std::unique_ptr<QMessageBox> QtMessages::createBox(MessageKind kind, const QString &text,
                                                   MessageButtons buttons, const QString &caption,
                                                   QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setIcon(iconFor(kind));
    box->setWindowTitle(caption.isEmpty() ? defaultCaption(kind) : caption);
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    QList<MessageButton> offered = orderedButtons(buttons);
    if (offered.isEmpty()) {
        offered.append(MessageButton::Ok);
        buttons = MessageButton::Ok;
    }
    const MessageButton onClose = closeAnswer(buttons);
    for (MessageButton b : offered) {
        QPushButton *button = box->addButton(buttonText(b), roleFor(b));
        button->setProperty(AnswerProperty, static_cast<int>(b));
        if (b == offered.first())
            box->setDefaultButton(button);
        if (b == onClose)
            box->setEscapeButton(button);
    }
    return box;
}

MessageButton QtMessages::answerOf(const QMessageBox &box)
{
    const QAbstractButton *pressed = box.clickedButton();
    if (!pressed)
        pressed = box.escapeButton();
    if (!pressed)
        return MessageButton::Cancel;
    return static_cast<MessageButton>(pressed->property(AnswerProperty).toInt());
}

MessageButton QtMessages::show(MessageKind kind, const QString &text, MessageButtons buttons,
                               const QString &caption)
{
    const std::unique_ptr<QMessageBox> box = createBox(kind, text, buttons, caption, m_parent);
    box->exec();
    return answerOf(*box);
}

} // namespace qm
