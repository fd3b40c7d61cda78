#include "services.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

namespace qm {

QList<MessageButton> orderedButtons(MessageButtons buttons)
{
    static constexpr MessageButton order[] = {
        MessageButton::Yes,   MessageButton::No,    MessageButton::Ok,     MessageButton::Cancel,
        MessageButton::Abort, MessageButton::Retry, MessageButton::Ignore,
    };
    QList<MessageButton> result;
    for (MessageButton b : order) {
        if (buttons.testFlag(b))
            result.append(b);
    }
    return result;
}

MessageButton closeAnswer(MessageButtons buttons)
{
    for (MessageButton b : {MessageButton::Cancel, MessageButton::No, MessageButton::Abort,
                            MessageButton::Ok}) {
        if (buttons.testFlag(b))
            return b;
    }
    const QList<MessageButton> offered = orderedButtons(buttons);
    return offered.isEmpty() ? MessageButton::Ok : offered.first();
}

QString defaultCaption(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information:
        return QCoreApplication::translate("qm", "Information");
    case MessageKind::Warning:
        return QCoreApplication::translate("qm", "Warnung");
    case MessageKind::Confirmation:
        return QCoreApplication::translate("qm", "Bestätigen");
    case MessageKind::Error:
        return QCoreApplication::translate("qm", "Fehler");
    case MessageKind::Plain:
        break;
    }
    return QStringLiteral("Quillmark");
}

QString qtFileFilter(QStringView windowsFilter)
{
    if (windowsFilter.isEmpty())
        return QString();
    const QList<QStringView> parts = windowsFilter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        QString label = parts[i].trimmed().toString();
        if (i + 1 >= parts.size()) {
            if (!label.isEmpty())
                entries.append(label);
            break;
        }
        const QString raw = parts[i + 1].trimmed().toString();
        QStringList patterns;
        for (QStringView p : QStringView(raw).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            if (!p.trimmed().isEmpty())
                patterns.append(p.trimmed().toString());
        }
        if (patterns.isEmpty()) {
            entries.append(label);
            continue;
        }
        const QString qtPatterns = patterns.join(QLatin1Char(' '));
        const QString shownRaw = QLatin1Char('(') + raw + QLatin1Char(')');
        const QString shownQt = QLatin1Char('(') + qtPatterns + QLatin1Char(')');
        if (label.endsWith(shownQt)) {
            // already in the form Qt reads
        } else if (label.endsWith(shownRaw)) {
            label = label.chopped(shownRaw.size()) + shownQt;
        } else {
            if (!label.isEmpty())
                label += QLatin1Char(' ');
            label += shownQt;
        }
        entries.append(label);
    }
    return entries.join(QStringLiteral(";;"));
}

QString normalizedExtension(QStringView defaultExt)
{
    QStringView ext = defaultExt.trimmed();
    while (!ext.isEmpty() && (ext.front() == QLatin1Char('*') || ext.front() == QLatin1Char('.')))
        ext = ext.mid(1);
    if (ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?')))
        return QString();
    return ext.toString();
}

QString withDefaultExtension(const QString &path, QStringView defaultExt)
{
    const QString ext = normalizedExtension(defaultExt);
    if (path.isEmpty() || ext.isEmpty())
        return path;
    const QStringView name = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (name.isEmpty() || name.contains(QLatin1Char('.')))
        return path;
    return path + QLatin1Char('.') + ext;
}

std::optional<HelpTopic> findHelpTopic(QStringView helpText, int context)
{
    static const QRegularExpression marker(
        QStringLiteral("^#CONTEXT\\s+([+-]?\\d{1,9})(?:\\s+(.*))?$"),
        QRegularExpression::CaseInsensitiveOption);
    std::optional<HelpTopic> topic;
    QStringList body;
    for (QStringView line : helpText.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("##")))
            continue;
        const QRegularExpressionMatch m = marker.match(line.trimmed().toString());
        if (m.hasMatch()) {
            if (topic)
                break;
            if (m.capturedView(1).toInt() == context)
                topic = HelpTopic{context, m.captured(2).trimmed(), QString()};
            continue;
        }
        if (topic)
            body.append(line.toString());
    }
    if (topic) {
        while (!body.isEmpty() && body.last().trimmed().isEmpty())
            body.removeLast();
        topic->html = body.join(QLatin1Char('\n'));
    }
    return topic;
}

std::optional<int> helpLinkContext(QStringView href)
{
    static const QLatin1StringView scheme("kontext:");
    if (!href.startsWith(scheme, Qt::CaseInsensitive))
        return std::nullopt;
    bool ok = false;
    const int n = href.mid(scheme.size()).toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

} // namespace qm
