#include "fileselection.h"

#include "platform/services.h"
#include "programdir/filelookup.h"
#include "programdir/programdirectory.h"

#include <QCoreApplication>

namespace qm {

FileOpenSpec openFormatSpec()
{
    return { QCoreApplication::translate("qm", "Format-Datei auswählen"),
        QCoreApplication::translate("qm", "Format-Datei (*.vrl)|*.vrl|Alle Dateien (*.*)|*.*"),
        QStringLiteral("*.vrl"), ProgramDirectory::FormatSubdir };
}

FileOpenSpec openEtikettSpec()
{
    return { QCoreApplication::translate("qm", "Etiketten- bzw. Formulardatei auswählen"),
        QCoreApplication::translate(
            "qm", "Etiketten- bzw. Formulardatei (*.eti)|*.eti|Alle Dateien (*.*)|*.*"),
        QStringLiteral("*.eti"), ProgramDirectory::DesignSubdir };
}

FileOpenSpec openDatenbankSpec()
{
    return { QCoreApplication::translate("qm", "DBase-Datenbank auswählen"),
        QCoreApplication::translate(
            "qm", "DBase-Datenbank (*.dbf)|*.dbf|CSV-Datei, nur lesen (*.csv)|*.csv|Alle Dateien (*.*)|*.*"),
        QStringLiteral("*.dbf"), ProgramDirectory::DatabaseSubdir };
}

QString startFolder(const FileOpenSpec &spec, const QString &programDir)
{
    return findSubdirCaseInsensitive(programDir, spec.subdir) + QLatin1Char('/');
}

QString chooseFile(IFileDialogs &dialogs, const FileOpenSpec &spec, const QString &programDir)
{
    return dialogs.open(spec.title, spec.filter, spec.defaultExt, startFolder(spec, programDir));
}

} // namespace qm
