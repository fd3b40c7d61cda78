#include "scriptedfiledialogs.h"

namespace qm {

QString ScriptedFileDialogs::answer()
{
    return m_answers.isEmpty() ? QString() : m_answers.dequeue();
}

QString ScriptedFileDialogs::open(const QString &title, const QString &filter,
                                  const QString &defaultExt, const QString &directory)
{
    m_calls.append(Call{false, title, filter, defaultExt, directory});
    return answer();
}

QString ScriptedFileDialogs::save(const QString &title, const QString &filter,
                                  const QString &defaultExt, const QString &directory)
{
    m_calls.append(Call{true, title, filter, defaultExt, directory});
    return withDefaultExtension(answer(), defaultExt);
}

void ScriptedFileDialogs::clear()
{
    m_answers.clear();
    m_calls.clear();
}

} // namespace qm
