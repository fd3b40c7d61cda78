#pragma once

#include "platform/services.h"

#include <QList>
#include <QQueue>

namespace qm {

// File dialogs for tests: records every call and answers from a queue of
// scripted file names, an empty name meaning "cancelled". With the queue
// empty every dialog is cancelled. A save dialog applies the default
// extension to its scripted name as the real dialog does to a typed one.
class ScriptedFileDialogs : public IFileDialogs
{
public:
    struct Call
    {
        bool save;
        QString title;
        QString filter;
        QString defaultExt;
        QString directory;
    };

    void addAnswer(const QString &path) { m_answers.enqueue(path); }
    qsizetype pendingAnswers() const { return m_answers.size(); }

    QString open(const QString &title, const QString &filter, const QString &defaultExt,
                 const QString &directory = QString()) override;
    QString save(const QString &title, const QString &filter, const QString &defaultExt,
                 const QString &directory = QString()) override;

    const QList<Call> &calls() const { return m_calls; }
    void clear();

private:
    QString answer();

    QQueue<QString> m_answers;
    QList<Call> m_calls;
};

} // namespace qm
