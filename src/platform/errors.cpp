#include "errors.h"

#include <QCoreApplication>

#include <cerrno>

namespace qm {

Error::Error(QString message)
    : m_message(std::move(message))
    , m_utf8(m_message.toUtf8())
{ }

QString outOfMemoryMessage()
{
    return QCoreApplication::translate("qm", "Nicht genügend Arbeitsspeicher. Bearbeitung abgebrochen !");
}

QString shortenedValue(QStringView value)
{
    qsizetype length = qMin(value.size(), MaxQuotedValueLength);
    // A character outside the basic plane is kept whole or left out.
    if (length < value.size() && length > 0 && value[length - 1].isHighSurrogate())
        --length;
    QString shown = value.left(length).toString();
    for (QChar &c : shown) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
            c = QLatin1Char(' ');
    }
    if (length < value.size())
        shown += QChar(0x2026);
    return shown;
}

QString quotedValue(QStringView value)
{
    return QChar(0x201E) + shortenedValue(value) + QChar(0x201C);
}

IoError::IoError(int errorNumber)
    : Error(textFor(errorNumber))
    , m_errorNumber(errorNumber)
{ }

IoError::IoError(int errorNumber, QString message)
    : Error(std::move(message))
    , m_errorNumber(errorNumber)
{ }

QString IoError::textFor(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return QCoreApplication::translate("qm", "Datei nicht gefunden");
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return QCoreApplication::translate("qm", "Ungültiger Dateiname");
    case EMFILE:
    case ENFILE:
        return QCoreApplication::translate("qm", "Zu viele Dateien geöffnet");
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return QCoreApplication::translate("qm", "Dateizugriff verweigert");
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return QCoreApplication::translate("qm", "Kapazität der Diskette/Festplatte erschöpft");
    default:
        return QCoreApplication::translate("qm", "I/O-Fehler %1").arg(errorNumber);
    }
}

ConvertError::ConvertError(QStringView text)
    : Error(QCoreApplication::translate("qm", "'%1' ist kein gültiger Integerwert").arg(shortenedValue(text)))
{
}

} // namespace qm
