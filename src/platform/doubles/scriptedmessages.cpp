#include "scriptedmessages.h"

#include <stdexcept>

namespace qm {

MessageButton ScriptedMessages::show(MessageKind kind, const QString &text,
                                     MessageButtons buttons, const QString &caption)
{
    MessageButton answer;
    if (!m_answers.isEmpty()) {
        answer = m_answers.dequeue();
        if (!buttons.testFlag(answer) && !(buttons == MessageButton::None && answer == MessageButton::Ok))
            throw std::logic_error("scripted answer is not a button of the message");
    } else {
        const QList<MessageButton> offered = orderedButtons(buttons);
        answer = offered.isEmpty() ? MessageButton::Ok : offered.first();
    }
    m_shown.append(Shown{kind, text, buttons, caption, answer});
    return answer;
}

void ScriptedMessages::clear()
{
    m_answers.clear();
    m_shown.clear();
}

} // namespace qm
