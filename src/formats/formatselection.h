#pragma once

#include "formatcatalogue.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace qm {

class IFileDialogs;
class IMessages;
class ProgramDirectory;
struct StockSheet;

// The format expert as the format selection opens it: modally, in mode "N"
// (new format, written to path) or "Ä" (change the format in path).
class IFormatExpert
{
public:
    virtual ~IFormatExpert() = default;
    // True when the user saved, false when the expert was cancelled.
    virtual bool editFormat(const QString &mode, const QString &path) = 0;
    // The description entered in the expert (Beschreibung), after a save.
    virtual QString description() const = 0;
};

// What the format selection shows.
struct FormatSelectionView
{
    QStringList areas; // ListBereich: the nine areas
    int areaIndex = -1; // selected area, -1 for none
    QStringList formats; // ListFormat: descriptions of the area, sorted
    int formatIndex = -1; // selected format, -1 for none
    bool formatClicked = false;
};

// The rules of the format selection "Format auswählen", without a window.
// Every file error ends the command with a German message; the catalogue
// file is never left half written.
class FormatSelectionCore
{
public:
    FormatSelectionCore(
        const ProgramDirectory &dir, IMessages &messages, IFileDialogs &fileDialogs, IFormatExpert &expert);

    // FormShow: the nine areas (none selected), the catalogue read (and
    // created with its two title lines when missing), no format clicked.
    void FormShow(FormatSelectionView &view);
    // HoleFormate: reads FORMATE.DAT and empties ListFormat. A file that
    // cannot be read is reported; the table is empty then.
    void HoleFormate(FormatSelectionView &view);
    // Selecting an area fills ListFormat with its formats, sorted; the
    // format-clicked flag is cleared.
    void ListBereichClick(FormatSelectionView &view, int index);
    // Selecting a format sets the flag.
    void ListFormatClick(FormatSelectionView &view, int index);

    // The confirm button: in mode "E" with a clicked format, the file of the
    // selected entry (of several matching ones, the last); else nothing.
    std::optional<QString> Button_OkClick(const FormatSelectionView &view, const QString &mode) const;

    // "&Neu": needs an area ("Bitte wählen Sie einen Bereich aus !"); asks
    // for a new file in FORMATE ("Neue Formatdatei anlegen"), runs the
    // expert in mode "N" and, when it saved, appends the area, the
    // description and the chosen path to FORMATE.DAT; then reads the
    // catalogue again and refills the area's formats.
    void Button_NeuClick(FormatSelectionView &view);
    // "&Ändern": needs a clicked format ("Bitte wählen Sie ein Format aus
    // !"); runs the expert in mode "Ä" on the file of each matching entry.
    // The catalogue itself does not change.
    void Button_AendernClick(FormatSelectionView &view);
    // "&Löschen": needs a clicked format; asks "Wollen Sie wirklich das
    // Format "..." löschen ?" (Yes/No). Yes: the VRL file of the first
    // matching entry must exist (else the error is shown and nothing
    // changes); the catalogue is rewritten without every matching entry in
    // one step, and then the file is deleted. The lists are refilled.
    void Button_LoeschenClick(FormatSelectionView &view);
    // "&Importieren ...": asks for a template file, adds its formats to
    // "Individuelle Formate" and tells what was added and what was left
    // out and why; then reads the catalogue again.
    void Button_ImportierenClick(FormatSelectionView &view);

    // "Übernehmen" of the label-stock search: enters the sheet under
    // "Individuelle Formate" (its VRL file in FORMATE and its entry in
    // FORMATE.DAT, see addIndividualFormat), reads the catalogue again and
    // selects the area and the new format; a sheet the catalogue holds
    // already (L7163 under "AVERY Laseretiketten") is not entered again,
    // its entry is selected. Returns the file as the catalogue stores it;
    // nothing after an error, which is shown.
    std::optional<QString> takeStockSheet(FormatSelectionView &view, const StockSheet &sheet);
    // An error message of the selection.
    void showError(const QString &message);

    const QList<FormatEntry> &entries() const { return m_entries; }
    // The area and the description selected, empty when none.
    QString selectedArea(const FormatSelectionView &view) const;
    QString selectedFormat(const FormatSelectionView &view) const;
    // Where the file of an entry lies: the stored path when it names a file
    // (a relative one counting from the program directory), else the file
    // of that name in FORMATE (letter case aside); else the FORMATE path.
    QString entryFilePath(const QString &stored) const;

private:
    void refill(FormatSelectionView &view);

    const ProgramDirectory &m_dir;
    IMessages &m_messages;
    IFileDialogs &m_fileDialogs;
    IFormatExpert &m_expert;
    QList<FormatEntry> m_entries;
};

// A format of the catalogue as the windows that ask for a VRL file offer it
// beside their file dialog.
struct FormatChoice
{
    QString area;
    QString description;
    QString path; // its file, found as the selection finds it

    // "description (area)"
    QString caption() const;
};

// The formats of the program directory's catalogue in the order of the
// selection: by area as formatAreas() lists them, within an area by
// description; entries of other areas are left out, and of equal entries
// the last counts, as in the selection. A catalogue that cannot be read
// gives none.
QList<FormatChoice> catalogueFormatChoices(const ProgramDirectory &dir);

// The choice whose file is path (the same file, however written); -1 for
// none.
int formatChoiceIndex(const QList<FormatChoice> &choices, const QString &path);

} // namespace qm
