#pragma once

#include "platform/services.h"

#include <QList>
#include <QQueue>

namespace qm {

// Message boxes for tests: records every message and answers from a queue
// of scripted buttons. With the queue empty it answers with the button that
// Enter would press: the first offered one in the order Yes, No, Ok, Cancel,
// Abort, Retry, Ignore (Ok when none is offered). A scripted answer that the
// message does not offer throws std::logic_error, since no box could give
// it.
class ScriptedMessages : public IMessages
{
public:
    struct Shown
    {
        MessageKind kind;
        QString text;
        MessageButtons buttons;
        QString caption;
        MessageButton answer;
    };

    void addAnswer(MessageButton answer) { m_answers.enqueue(answer); }
    qsizetype pendingAnswers() const { return m_answers.size(); }

    MessageButton show(MessageKind kind, const QString &text, MessageButtons buttons,
                       const QString &caption = QString()) override;

    const QList<Shown> &shown() const { return m_shown; }
    // The text of the last message, empty when none was shown.
    QString lastText() const { return m_shown.isEmpty() ? QString() : m_shown.last().text; }
    void clear();

private:
    QQueue<MessageButton> m_answers;
    QList<Shown> m_shown;
};

} // namespace qm
