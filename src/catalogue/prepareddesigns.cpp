#include "catalogue/prepareddesigns.h"

#include "programdir/filelookup.h"

#include <QCoreApplication>

namespace qm {
namespace {

// Captions are translated in the context "qm" where they are shown.
#define QM_CAPTION(text) QT_TRANSLATE_NOOP("qm", text)

constexpr PreparedDesign Media[] = {
    { "AudioKassetteAusfhrungI1", QM_CAPTION("Audio-Kassettenhülle"), "Audio1.eti", "Audio1.vrl",
        "Audio1.dbf" },
    { "AudioKassetteAusfhrungII1", QM_CAPTION("Audio-Kassettenhülle (ohne Felder)"), "Audio2.eti",
        "Audio1.vrl", "" },
    { "AudioKassettenhlleFrontteil1", QM_CAPTION("Audio-Kassettenhülle Frontteil"), "Audio3.eti",
        "Audio2.vrl", "Audio2.dbf", true },
    { "CDHlleVorderseite1", QM_CAPTION("CD-Hülle Vorderseite"), "CD1.eti", "CD1.vrl", "CD1.dbf" },
    { "CDHlleRckseite1", QM_CAPTION("CD-Hülle Rückseite"), "CD2.eti", "CD1.vrl", "CD2.dbf", true },
    { "Dia1", QM_CAPTION("Dia"), "dia1.eti", "dia1.vrl", "dia1.dbf", true },
    { "DATHlle1", QM_CAPTION("DAT-Hülle"), "dat1.eti", "dat1.vrl", "dat1.dbf", true },
    { "Fotoaufkleber1", QM_CAPTION("Fotoaufkleber"), "foto1.eti", "AV42-122.vrl", "foto1.dbf", true },
    { "VHSCHlle1", QM_CAPTION("VHS-C Hülle"), "VHSC1.eti", "VHSC1.vrl", "VHSC1.dbf", true },
    { "VHSVideoFrontseite12", QM_CAPTION("VHS-Video Frontseite 1"), "VHS1.eti", "VHS1.vrl", "VHS1.dbf" },
    { "VHSVideoFrontseite11", QM_CAPTION("VHS-Video Frontseite 2"), "VHS2.eti", "VHS1.vrl", "VHS2.dbf" },
    { "VHSVideoOberseite11", QM_CAPTION("VHS-Video Oberseite 1"), "VHS3.eti", "AV42-122.vrl", "VHS3.dbf" },
    { "VHSVideoFrontseite13", QM_CAPTION("VHS-Video Oberseite 2"), "VHS4.eti", "AV42-122.vrl", "VHS4.dbf" },
};

constexpr PreparedDesign Computer[] = {
    { "Diskettenetikett35Ausfhrung170x70mm1", QM_CAPTION("Diskettenetikett 3.5\" Ausführung 1 (70x70mm)"),
        "disk1.eti", "disk1.vrl", "disk1.dbf" },
    { "Diskettenetikett35Ausfhrung170x70mm2", QM_CAPTION("Diskettenetikett 3.5\" Ausführung 2 (70x70mm)"),
        "disk2.eti", "disk1.vrl", "disk2.dbf" },
    { "Diskettenetikett35Ausfhrung170x70mm3", QM_CAPTION("Diskettenetikett 3.5\" Ausführung 1 (70x50mm)"),
        "disk3.eti", "disk2.vrl", "disk3.dbf" },
    { "Diskettenetikett35Ausfhrung170x70mm4", QM_CAPTION("Diskettenetikett 3.5\" Ausführung 2 (70x50mm)"),
        "disk4.eti", "disk2.vrl", "disk4.dbf", true },
    { "Diskettenetikett35Ausfhrung170x70mm5", QM_CAPTION("Diskettenetikett 5.25\" (89x36mm)"), "disk5.eti",
        "AV42-122.vrl", "disk5.dbf" },
};

constexpr PreparedDesign Mail[] = {
    { "Adressaufkleber89x36mm1", QM_CAPTION("Adressaufkleber Ausführung 1 (89x36 mm)"), "adress1.eti",
        "AVL7655.vrl", "adress1.dbf" },
    { "AdressaufkleberAusfhrung189x36mm2", QM_CAPTION("Adressaufkleber Ausführung 2 (70x36 mm)"),
        "adress2.eti", "70x36.vrl", "adress2.dbf" },
    { "AdressaufkleberAusfhrung189x36mm1", QM_CAPTION("Adressaufkleber Ausführung 3 (70x42 mm)"),
        "adress3.eti", "70x42.vrl", "adress3.dbf", true },
    { "DINA5Umschlag1", QM_CAPTION("DIN-A5 Umschlag"), "brief1.eti", "brief1.vrl", "brief1.dbf", true },
    { "Paketaufkleberpoststandard1", QM_CAPTION("Paketaufkleber -poststandard-"), "paket1.eti", "post.vrl",
        "paket1.dbf" },
    { "Paketaufklebergro210x148mm1", QM_CAPTION("Paketaufkleber -groß- (210x148mm)"), "paket2.eti",
        "dina5q.vrl", "paket2.dbf" },
    { "Paketaufkleberklein140x100mm1", QM_CAPTION("Paketaufkleber -klein- (140x100mm)"), "paket3.eti",
        "post.vrl", "paket3.dbf", true },
    { "Postkartepoststandard1", QM_CAPTION("Postkarte -poststandard-"), "postkart.eti", "post.vrl",
        "postkart.dbf", true },
    { "AbsenderaufkleberAusfhrung189x36mm1", QM_CAPTION("Absenderaufkleber Ausführung 1 (89x36mm)"),
        "absend1.eti", "AVL7655.vrl", "absend1.dbf" },
    { "AbsenderaufkleberAusfhrung189x36mm2", QM_CAPTION("Absenderaufkleber Ausführung 2 (89x23mm)"),
        "absend2.eti", "AV42-121.vrl", "absend2.dbf" },
};

constexpr PreparedDesign Office[] = {
    { "Aktenordnerbreit190x61mm1", QM_CAPTION("Aktenordner -breit- (190x61mm)"), "Akten1.eti", "Akten1.vrl",
        "Akten1.dbf" },
    { "Aktenordnerbreit190x61mm3", QM_CAPTION("Aktenordner -mittel- (154x48mm)"), "Akten2.eti", "Akten2.vrl",
        "Akten2.dbf" },
    { "Aktenordnerbreit190x61mm2", QM_CAPTION("Aktenordner -schmal- (190x38mm)"), "Akten3.eti", "Akten3.vrl",
        "Akten3.dbf", true },
    { "Tischkarte1", QM_CAPTION("Tischkarte"), "Tisch1.eti", "Tisch1.vrl", "Tisch1.dbf", true },
    { "Kofferschild1", QM_CAPTION("Kofferschild"), "Koffer1.eti", "Disk1.vrl", "Koffer1.dbf", true },
    { "WochenplanerLeerblatt1", QM_CAPTION("Wochenplaner -Leerblatt-"), "Wochen1.eti", "Wochen1.vrl", "" },
    { "WochenplanerLeerblatt3", QM_CAPTION("Wochenplaner -Tagesübersicht-"), "Wochen2.eti", "Wochen1.vrl",
        "" },
    { "WochenplanerLeerblatt2", QM_CAPTION("Wochenplaner -Wochenübersicht-"), "Wochen3.eti", "Wochen1.vrl",
        "" },
};

constexpr PreparedDesign BusinessCards[] = {
    { "VisitenkartenAusfhrungI1", QM_CAPTION("Visitenkarten Ausführung 1"), "Visiten1.eti", "Visiten1.vrl",
        "Visiten1.dbf" },
    { "VisitenkartenAusfhrungI2", QM_CAPTION("Visitenkarten Ausführung 2"), "Visiten2.eti", "Visiten1.vrl",
        "Visiten2.dbf" },
};

constexpr PreparedGroup Groups[] = {
    { "Medien1", QM_CAPTION("&Medien"), Media },
    { "Computer1", QM_CAPTION("&Computer"), Computer },
    { "Versand1", QM_CAPTION("Ver&sand"), Mail },
    { "Bro1", QM_CAPTION("&Büro"), Office },
    { "Visitenkarten1", QM_CAPTION("&Visitenkarten"), BusinessCards },
};

constexpr PreparedDesign Adrivo[] = {
    { "Adressaufkleber89x36mm4", QM_CAPTION("Adressaufkleber 89x36 mm"), "adrivo1.eti", "AVL7655.vrl",
        "qmadrivo.dbf" },
    { "Adressaufkleber89x36mm3", QM_CAPTION("Adressaufkleber 70x36 mm"), "adrivo2.eti", "70x36.vrl",
        "qmadrivo.dbf" },
    { "Adressaufkleber89x36mm2", QM_CAPTION("Adressaufkleber 70x42 mm"), "adrivo3.eti", "70x42.vrl",
        "qmadrivo.dbf" },
};

// The file in the subfolder of the program directory; folders and files of
// older installations may differ in letter case ("Formate", "Disk1.vrl").
QString inSubdir(const ProgramDirectory &dir, QLatin1StringView subdir, const char *file)
{
    const QString folder = findSubdirCaseInsensitive(dir.path(), subdir);
    const QString name = QString::fromUtf8(file);
    const QString found = findFileCaseInsensitive(folder, name);
    return found.isEmpty() ? folder + QLatin1Char('/') + name : found;
}

} // namespace

std::span<const PreparedGroup> preparedDesignGroups()
{
    return Groups;
}

std::span<const PreparedDesign> adrivoDesigns()
{
    return Adrivo;
}

QList<const PreparedDesign *> allPreparedDesigns()
{
    QList<const PreparedDesign *> items;
    for (const PreparedGroup &group : preparedDesignGroups())
        for (const PreparedDesign &item : group.items)
            items.append(&item);
    for (const PreparedDesign &item : adrivoDesigns())
        items.append(&item);
    return items;
}

PreparedPaths preparedPaths(const PreparedDesign &item, const ProgramDirectory &dir)
{
    PreparedPaths paths;
    paths.design = inSubdir(dir, ProgramDirectory::DesignSubdir, item.designFile);
    paths.format = inSubdir(dir, ProgramDirectory::FormatSubdir, item.formatFile);
    if (*item.databaseFile)
        paths.database = inSubdir(dir, ProgramDirectory::DatabaseSubdir, item.databaseFile);
    return paths;
}

PreparedPaths adrivoPaths(
    const PreparedDesign &item, const ProgramDirectory &dir, const QString &adrivoFolder)
{
    PreparedPaths paths = preparedPaths(item, dir);
    QString folder = adrivoFolder;
    // The folder is kept as typed; "C:\ADRIVO" and "C:\ADRIVO\" mean the same.
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    paths.database = folder + AdrivoTableFile;
    return paths;
}

} // namespace qm
