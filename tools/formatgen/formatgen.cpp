// Makes the shipped catalogue of label stock from gLabels' template files:
//
//   formatgen /usr/share/libglabels-3.0/templates share
//
// writes one VRL file per format into share/FORMATE and their entries into
// share/FORMATE.DAT (entries naming other files stay), and the index of
// every sheet that makes a format, by maker and part number, into
// share/BOGENINDEX.TXT. Run by hand when the template data changes; its
// output is part of the sources.
#include "formats/formatimport.h"
#include "formats/labeltemplates.h"
#include "formats/stockindex.h"
#include "platform/errors.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 2) {
        err << "Aufruf: formatgen VORLAGENVERZEICHNIS SHARE-VERZEICHNIS\n";
        return 2;
    }
    try {
        QList<qm::LabelTemplate> templates;
        const QDir source(args[0]);
        const QStringList files
            = source.entryList({ QStringLiteral("*-templates.xml") }, QDir::Files, QDir::Name);
        for (const QString &file : files)
            templates += qm::readLabelTemplates(source.filePath(file));
        qm::resolveEquivalents(templates);
        const qm::StockCatalogue catalogue = qm::buildStockCatalogue(templates);
        const int written = qm::writeStockCatalogue(args[1], catalogue);
        for (const qm::SkippedTemplate &skipped : catalogue.skipped)
            out << "ausgelassen: " << skipped.name << ": " << skipped.reason << '\n';
        out << written << " Formate aus " << files.size() << " Vorlagendateien geschrieben\n";
        QList<qm::SkippedTemplate> left;
        const QList<qm::StockSheet> sheets = qm::stockSheetsOf(templates, &left);
        for (const qm::SkippedTemplate &skipped : left)
            out << "nicht im Verzeichnis: " << skipped.name << ": " << skipped.reason << '\n';
        qm::writeFileAtomically(
            QDir(args[1]).filePath(QStringLiteral("BOGENINDEX.TXT")), qm::stockIndexText(sheets));
        out << sheets.size() << " Etikettenbögen im Verzeichnis BOGENINDEX.TXT\n";
    } catch (const qm::Error &e) {
        err << "formatgen: " << e.message() << '\n';
        return 1;
    }
    return 0;
}
