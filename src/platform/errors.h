#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace qm {

// An error that ends the current command. The application's error display
// shows message() in a message box; the command line prints it on stderr.
class Error : public std::exception
{
public:
    explicit Error(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// "Nicht genügend Arbeitsspeicher. Bearbeitung abgebrochen !": what a
// command that ran out of memory (std::bad_alloc) tells the user.
QString outOfMemoryMessage();

// How messages quote a value the user gave (a field's value, a search
// text, a criterion): in German quotation marks, at most
// MaxQuotedValueLength characters of it, and "…" where it was cut, so that a
// value of many kilobytes does not fill the message. Line breaks and tabs
// are shown as blanks.
inline constexpr qsizetype MaxQuotedValueLength = 60;
QString quotedValue(QStringView value);
// The same without the quotation marks, for messages whose wording sets
// their own ("'%s' ist kein gültiger Integerwert").
QString shortenedValue(QStringView value);

// A failed file operation, described by the operating system's error number
// (errno) in the program's German wording.
class IoError : public Error
{
public:
    explicit IoError(int errorNumber);
    // The same error number with a message of its own (one that names the
    // file, for example).
    IoError(int errorNumber, QString message);
    int errorNumber() const { return m_errorNumber; }
    static QString textFor(int errorNumber);

private:
    int m_errorNumber;
};

// A text that should be a whole number but is not.
class ConvertError : public Error
{
public:
    explicit ConvertError(QStringView text);
};

// Text that cannot be written in the files' code page.
class EncodingError : public Error
{
public:
    using Error::Error;
};

} // namespace qm
