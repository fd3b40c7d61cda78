#pragma once

#include "formatcatalogue.h"
#include "labeltemplates.h"

#include <QList>
#include <QString>

namespace qm {

class ProgramDirectory;

// What an import added to the catalogue and what it left out.
struct ImportResult
{
    QList<FormatEntry> added;
    QList<SkippedTemplate> skipped;
};

// The most formats one template (maker and part number) may add in one
// import; the rest are listed as skipped with their count.
inline constexpr int MaxFormatsPerTemplate = 1000;

// Adds the formats of a template file to "Individuelle Formate": every
// format that fits becomes a VRL file in the program directory's FORMATE
// folder (named after maker and part number; an existing file is never
// replaced, the name gets "_2", "_3", ... instead) and an entry of
// FORMATE.DAT naming that file. A format whose description the area already
// holds is listed as skipped. The catalogue is locked (CatalogueLock) from
// its first read to the end. The VRL files are written under staged names
// (".qm-import-NAME.vrl") first, then put under their names, and the
// catalogue is replaced last, so a failure or a kill leaves the old
// catalogue or the new one, never an entry without its file; the next
// writer removes what a killed one left (staged files, and the files of
// formats the catalogue does not name).
// Throws IoError or qm::Error for a template file that cannot be read, and
// for files that cannot be written.
ImportResult importTemplateFile(const ProgramDirectory &dir, const QString &xmlPath);

// Enters one format under "Individuelle Formate": its VRL file in FORMATE
// (fileName, or "_2", "_3", ... after its stem when that is taken) and its
// entry in FORMATE.DAT, written as importTemplateFile writes them. When the
// catalogue holds the format already, nothing is written and that entry is
// returned: an entry of any area whose file has that file name and these
// labels, or the entry of "Individuelle Formate" with that description.
// Throws IoError or qm::Error for files that cannot be written, and when
// "Individuelle Formate" has the description for other labels; nothing is
// left behind then.
FormatEntry addIndividualFormat(const ProgramDirectory &dir, const QString &description,
    const QString &fileName, const SheetFormat &format);

// The steps of a writer of new formats after its VRL files are staged: the
// files put under their names, the catalogue replaced, the staged files
// removed. A hook set here is called at each step (tests stop the program
// there, as a kill would); none by default.
enum class FormatWriteStep { FilesStaged, FilesNamed, CatalogueReplaced, Done };
using FormatWriteStepHook = void (*)(FormatWriteStep);
void setFormatWriteStepHook(FormatWriteStepHook hook);

// The shipped catalogue made from template files.
struct StockFormat
{
    QString area;
    QString description; // as the catalogue shows it
    QString fileName; // plain name, in FORMATE
    SheetFormat format; // with the description for the VRL file
};

struct StockCatalogue
{
    QList<StockFormat> formats;
    QList<SkippedTemplate> skipped;
};

// The formats of the nine areas from resolved templates:
// - Avery's A4 sheets: parts whose family (the part and its equivalents)
//   holds an inkjet number ("J...") and no laser number ("L...") go to
//   "AVERY Tintenstrahl", the others to "AVERY Laseretiketten";
// - Zweckform's A4 sheets to "ZWECKFORM Laser";
// - Leitz's A4 sheets, when there are any, to "LEITZ Laseretiketten";
// - the plain DIN sheets A4, A5 and A6 (one label each) to "DIN-Größen" and
//   the envelopes DL, C6, C5 and C6/5 to "Briefumschläge".
// Other makers and round labels are left out. Descriptions are unique within an area (a
// repeated one gets " - 2", " - 3", ...); the list is ordered by area, then
// as the templates come.
StockCatalogue buildStockCatalogue(const QList<LabelTemplate> &templates);

// Writes the VRL files of the stock catalogue into shareDir/FORMATE and its
// entries into shareDir/FORMATE.DAT, keeping every entry of FORMATE.DAT that
// names another file. Returns the number of formats written.
int writeStockCatalogue(const QString &shareDir, const StockCatalogue &catalogue);

} // namespace qm
