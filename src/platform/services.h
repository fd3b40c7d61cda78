#pragma once

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace qm {

// ---------------------------------------------------------------------------
// Message boxes

enum class MessageKind {
    Information,
    Warning,
    Confirmation,
    Error,
    Plain, // a plain message box: no icon, the program's name as caption
};

enum class MessageButton {
    None = 0,
    Ok = 0x01,
    Cancel = 0x02,
    Yes = 0x04,
    No = 0x08,
    Abort = 0x10,
    Retry = 0x20,
    Ignore = 0x40,
};
Q_DECLARE_FLAGS(MessageButtons, MessageButton)

// The offered buttons in the order they are shown: Yes, No, Ok, Cancel,
// Abort, Retry, Ignore.
QList<MessageButton> orderedButtons(MessageButtons buttons);

// The answer of a box closed without pressing a button (Escape, the close
// button of the window): Cancel when offered, else No, else Abort, else Ok,
// else the first offered button.
MessageButton closeAnswer(MessageButtons buttons);

// The caption of a box shown without one: "Information", "Warnung",
// "Bestätigen", "Fehler", and "Quillmark" for a plain box.
QString defaultCaption(MessageKind kind);

class IMessages
{
public:
    virtual ~IMessages() = default;
    // Shows the message modally and returns the pressed button. An empty
    // caption gives defaultCaption(kind); no buttons at all give Ok.
    virtual MessageButton show(MessageKind kind, const QString &text, MessageButtons buttons,
                               const QString &caption = QString()) = 0;
};

// ---------------------------------------------------------------------------
// File dialogs
//
// Filters are written as pairs "label|patterns|label|patterns", for example
// "Etikett bzw. Formular|*.eti|Alle Dateien|*.*"; several patterns of one
// entry are separated by ";". The default extension may be given as "eti",
// ".eti" or "*.eti".

// "Etikett bzw. Formular|*.eti|Alle Dateien|*.*" becomes
// "Etikett bzw. Formular (*.eti);;Alle Dateien (*.*)". A label that already
// shows its patterns in parentheses ("Formatdatei (*.vrl)") is kept as it
// is. A last label without patterns stands alone.
QString qtFileFilter(QStringView windowsFilter);

// "*.eti", ".eti" and "eti" all give "eti"; empty for "", "*" and "*.*".
QString normalizedExtension(QStringView defaultExt);

// Appends "." + the default extension when the file name (the part after
// the last "/") has no extension; an empty path or an empty extension
// leaves the path as it is.
QString withDefaultExtension(const QString &path, QStringView defaultExt);

class IFileDialogs
{
public:
    virtual ~IFileDialogs() = default;
    // The chosen existing file, or an empty text when cancelled.
    virtual QString open(const QString &title, const QString &filter, const QString &defaultExt,
                         const QString &directory = QString()) = 0;
    // The chosen file name with the default extension applied, or an empty
    // text when cancelled.
    virtual QString save(const QString &title, const QString &filter, const QString &defaultExt,
                         const QString &directory = QString()) = 0;
};

// ---------------------------------------------------------------------------
// Waiting with message processing

class IWaiter
{
public:
    virtual ~IWaiter() = default;
    // Returns after ms milliseconds; windows keep being painted and events
    // keep being handled meanwhile. Nothing ends the wait early.
    virtual void wait(int ms) = 0;
};

// ---------------------------------------------------------------------------
// Help
//
// A help file is a text file in UTF-8 (Windows-1252 is accepted as well),
// made of topics. A line
//
//   #CONTEXT 3 Eingabe-Experte
//
// begins the topic with context number 3 and the title "Eingabe-Experte";
// the lines up to the next "#CONTEXT" line are the topic's text in HTML (a
// blank line is only a blank line: use <p> for paragraphs). A link
// <a href="kontext:5">...</a> leads to topic 5 of the same file. Lines before
// the first topic and lines beginning with "##" are comments. When a
// context number occurs twice, the first topic counts.

struct HelpTopic
{
    int context = 0;
    QString title;
    QString html;
};

// The topic of the context number in the text of a help file.
std::optional<HelpTopic> findHelpTopic(QStringView helpText, int context);

// The context number of a "kontext:N" link, or nothing.
std::optional<int> helpLinkContext(QStringView href);

class IHelp
{
public:
    virtual ~IHelp() = default;
    // Opens the help on the topic of the context number. A missing file or
    // topic is reported by the help viewer itself, never by an exception.
    virtual void show(const QString &helpFilePath, int contextNumber) = 0;
};

} // namespace qm

Q_DECLARE_OPERATORS_FOR_FLAGS(qm::MessageButtons)
