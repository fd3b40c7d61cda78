#pragma once

#include "designs/design.h"

#include <QString>
#include <QStringList>

namespace qm {

// ETI design files as the editor reads and writes them: cp1252 text with
// CR LF, one record a line, "KEY,field,field", no quoting. Lines beginning
// with "**" are comments; keys are compared exactly (case matters) and
// records with other keys are skipped.
//
// Written layout:
//
//   ** QUILLMARK für WINDOWS 95
//   ** ETI-Datei für ein Etikett bzw. Formular
//   ** Erstellt am <short date> mit Version 2.04s
//   NA,<description>
//   GR,<width units>,<height units>,25
//                 (a GR line read whose size was not changed is written
//                 back as it stood)
//   then per element its pen or font record and its own record:
//     L, R, O   XP,pen,colour            LI|RE|RA,x1,y1,x2,y2
//     B                                  XB,x1,y1,x2,y2,path
//     B with a field                     BF,x1,y1,x2,y2,name[,size]
//                                        (written back as it stood, as BC)
//     T         XF,height,italic,bold,rotation,font,colour   TE,x,y,text
//     F         XF,...                   EF,x,y,size,name
//     S         XF,...                   SE,x,y,mode,before,after
//     C                                  BC,x1,y1,x2,y2,kind,name[,size]
//                                        (a line read and not changed is
//                                        written back as it stood)
//   T, F, S with a text box: XT,<the record as read> between XF and the
//                 element's record (an XT record read is kept by the next
//                 text, field or serial number, whatever its place before it)
//   deleted rows (#) and unknown kinds are not written.
//
// Read besides: the older records SP (pen width and dashed flag, mapped to a
// pen style, colour black), SF (font with a weight, colour black) and BM (a
// bitmap without a size, given a 3 cm square).

// The editor's field splitter: removes the text up to the first comma and
// that comma from `rest` and returns it. Without a comma the field is empty
// and `rest` stays as it is, so the last field of a record is whatever is
// left of the line, commas included, and a record with too few commas has
// empty middle fields. A field taken from an empty rest (a record such as
// "LI," alone) is empty as well.
QString takeEtiField(QString &rest);

struct EtiLoadResult
{
    // The file had at least one BM record; the caller shows
    // oldBitmapMessage() once in an information box.
    bool oldBitmapRecord = false;
};

// "Datei enthielt alten Befehl für eine Bitmapgrafik ! Größe wird auf
// 3.0 x 3.0 cm angepasst ..."
QString oldBitmapMessage();

// Eladen: replaces the elements of the design with those of the file and
// takes description and size from its NA and GR records; without such a
// record they keep their values. The size is kept as the exact millimetres
// of the record's units (sizeTextOfUnits()), so a design opens and saves
// without changing its size. The file name and mode are not touched.
//
// The whole file is read first, then parsed into a copy that replaces the
// design only when everything went well: an IoError (file missing or
// unreadable) or a ConvertError (a GR size that is not a whole number, a BM
// position that is not one) leaves the design exactly as it was, so that a
// failed open never leaves half of another file under the old file name.
EtiLoadResult Eladen(const QString &path, Design &design);

// The same, from lines already read.
EtiLoadResult loadEtiLines(const QStringList &lines, Design &design);

// The current date in the system's short date format, as written into the
// third comment line.
QString etiDateText();

// The lines Espeichern writes, with `dateText` in the third line. Width and
// height are converted strictly (an empty size counts as 0) and throw
// ConvertError; element cells are written as they stand, except that a line
// break inside a cell is written as a blank so that it cannot split a record.
QStringList etiFileLines(const Design &design, const QString &dateText);

// Espeichern: writes the design to `path`, creating or replacing the file in
// one step (a failure leaves the previous file whole). Throws ConvertError
// before anything is written, EncodingError for a character outside cp1252,
// IoError when the file cannot be written.
void Espeichern(const QString &path, const Design &design);
void Espeichern(const QString &path, const Design &design, const QString &dateText);

} // namespace qm
