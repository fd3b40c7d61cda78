#pragma once

#include "sheetgrid.h"

#include <QList>
#include <QRect>
#include <QString>

namespace qm {

class IMessages;

// The entry limits of the format expert's fields (characters).
inline constexpr int MaxLabelSizeChars = 7; // Grx, GRY
inline constexpr int MaxCountChars = 3; // Neben, Unter
inline constexpr int MaxMarginChars = 5; // Startx, Starty, VorX, VorY

// The preview's paint area in pixels, at half a pixel per millimetre.
inline constexpr int PreviewWidth = 105;
inline constexpr int PreviewHeight = 145;

// What the format expert shows. The window copies the texts typed by the
// user into it before each operation and shows it again afterwards.
struct FormatExpertView
{
    GridTexts grid; // Grx, GRY, Neben, Unter, Startx, Starty, VorX, VorY
    QString beschreibung; // Beschreibung
    QString status; // the one panel of StatusZeile

    int page = 1; // 1 Grunddaten, 2 Vorschub, 3 PreviewSeite
    bool backEnabled = false; // "<< &Zurück"
    bool nextEnabled = true; // "&Weiter >>"
};

// The preview as GDI would draw it: rectangles given by their left, top,
// right and bottom edges, the right and bottom edge outside the outline
// (the area itself is (0, 0, 105, 145)). The labels are clipped to the area
// when drawn.
struct FormatPreview
{
    QList<QRect> labels; // QRect(left, top, right - left, bottom - top)
};

// The format expert's rules, without a window. Opening, paging, preview,
// loading and saving work on the view; messages go through IMessages.
class FormatExpertCore
{
public:
    // `formatDir` is the program directory's FORMATE folder, where a format
    // named by a plain or moved path is looked for.
    FormatExpertCore(IMessages &messages, QString formatDir);

    // FormShow: page 1 with "<< &Zurück" disabled and "&Weiter >>" enabled.
    // Mode "N" sets the fields of a new format (0, 0, 1, 1, margins and gaps
    // 0, empty description and status). Any other mode loads `path` with
    // Vorlageladen, or the file of that name in the FORMATE folder, and
    // otherwise shows "Formatdatei nicht gefunden !" and leaves the fields
    // as they are. Returns the path the expert works on from now on (the
    // one in FORMATE when the file was found there).
    QString FormShow(FormatExpertView &view, const QString &mode, const QString &path);

    // Vorlageladen: the grid derived from the VRL file into the fields, the
    // description into Beschreibung and the status line. False (nothing
    // changed) when the file cannot be opened; a file that cannot be read
    // further or holds too many labels is reported and changes nothing.
    bool Vorlageladen(FormatExpertView &view, const QString &path);

    // "&Weiter >>" and "<< &Zurück": change the page within 1..3, set the
    // buttons and return the preview to draw (see preview()). A count that
    // is not a whole number is reported and nothing is drawn; the page has
    // changed all the same.
    FormatPreview Button_WeiterClick(FormatExpertView &view);
    FormatPreview Button_ZurueckClick(FormatExpertView &view);

    // Leaving Beschreibung: its text goes to the status line.
    void BeschreibungExit(FormatExpertView &view);

    // PreviewZeichnen: empty fields become "0"; then the labels at half a
    // pixel per millimetre, each sx + (i − 1)·(w + gx), sy + (j − 1)·(h + gy)
    // with w = Trunc(Grx × 0.5) and so on. Nothing when a count is below 1.
    // Labels wholly outside the area are left out, since they cannot be
    // seen. Throws ConvertError for a count that is not a whole number.
    static FormatPreview preview(FormatExpertView &view);
    // The same, reporting a bad count as a message; nothing is drawn then.
    FormatPreview previewOrReport(FormatExpertView &view);

    // "&Sichern": an empty description is refused with "Bitte geben Sie eine
    // Beschreibung das Format ein !". Otherwise every field is checked and
    // the file written with VorlageSichern; any fault (a count or length
    // that is not a number, too many labels, a character outside cp1252, a
    // file that cannot be written) is reported and nothing is written.
    // Returns true when the file was written: the expert then closes with
    // the confirmation flag set.
    bool BitBtn2Click(FormatExpertView &view, const QString &path);

private:
    IMessages &m_messages;
    QString m_formatDir;
};

// A length typed into the format expert, checked: blanks around it, an
// optional sign, digits with at most one decimal point and at least one
// digit; an empty text counts as 0. Anything else ("10,5" included, which
// the lenient reading would take as 10) throws qm::Error "'%s' ist kein
// gültiger Gleitkommawert".
void checkLengthText(const QString &text);

// VorlageSichern after checking every length with checkLengthText.
void saveCheckedTemplate(const QString &path, const QString &description, const GridTexts &texts);

} // namespace qm
