#pragma once

#include <QString>

namespace qm {

class IFileDialogs;

// One of the three file-open dialogs of the creation wizard and the quick
// selection: what it is called, what it lists and the program folder it
// starts in.
struct FileOpenSpec
{
    QString title;
    QString filter; // "label|pattern|label|pattern"
    QString defaultExt;
    QString subdir; // below the program directory
};

// "Format-Datei auswählen", *.vrl, FORMATE.
FileOpenSpec openFormatSpec();
// "Etiketten- bzw. Formulardatei auswählen", *.eti, ETIKETT.
FileOpenSpec openEtikettSpec();
// "DBase-Datenbank auswählen", *.dbf, DBANKEN.
FileOpenSpec openDatenbankSpec();

// The folder such a dialog starts in: the subfolder of the program
// directory (a folder whose name differs only in letter case counts), with a
// trailing "/".
QString startFolder(const FileOpenSpec &spec, const QString &programDir);

// Asks for an existing file; the chosen path, or an empty text when the user
// cancelled.
QString chooseFile(IFileDialogs &dialogs, const FileOpenSpec &spec, const QString &programDir);

} // namespace qm
