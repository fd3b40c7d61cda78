#include "tablecommand.h"

#include "data/recordselection.h"
#include "data/tablecreation.h"
#include "data/tableengine.h"
#include "data/textimport.h"
#include "designs/printdesign.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

#include <QCoreApplication>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

QString usage()
{
    return tr("Aufruf: quillmark table DATENBANK.dbf [--create ETIKETT.eti] "
              "[--import TEXTDATEI [--lines N] [--skip-lead-line]]");
}

void createFromDesign(ITableEngine &table, const QString &path, const QString &design)
{
    PrintDesign printDesign;
    StringTable fieldList(1, 3);
    FieldGrids grids;
    grids.fieldGrid = &fieldList;
    if (!fileExists(design) || !EtikettdateiLesen(design, printDesign, grids))
        throw Error(design + QStringLiteral(": ")
            + tr("Etiketten- bzw. Formulardatei nicht gefunden. Bearbeitung abgebrochen !"));
    if (const std::optional<QString> warning = tablecreation::warning(path, fieldList))
        throw Error(*warning);
    table.create(path, tablecreation::fieldsFromList(fieldList));
}

} // namespace

int tableCommand(const QStringList &args, QTextStream &out, QTextStream &err, ITableEngine &table)
{
    QString path, design, import, lines;
    bool skipLead = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--create") && hasValue)
            design = args[++i];
        else if (a == QLatin1String("--import") && hasValue)
            import = args[++i];
        else if (a == QLatin1String("--lines") && hasValue)
            lines = args[++i];
        else if (a == QLatin1String("--skip-lead-line"))
            skipLead = true;
        else if (!a.startsWith(QLatin1String("--")) && path.isEmpty())
            path = a;
        else {
            err << "quillmark: " << usage() << Qt::endl;
            return 1;
        }
    }
    if (path.isEmpty() || (import.isEmpty() && (!lines.isEmpty() || skipLead))) {
        err << "quillmark: " << usage() << Qt::endl;
        return 1;
    }

    if (!design.isEmpty())
        createFromDesign(table, path, design);
    else
        table.open(path);

    if (!import.isEmpty()) {
        const int fieldCount = int(table.fields().size());
        int perRecord = fieldCount;
        if (!lines.isEmpty()) {
            if (const std::optional<QString> message = textimport::checkLinesPerRecord(lines, fieldCount))
                throw Error(*message);
            perRecord = strToInt(lines);
        }
        const ImportResult result
            = textimport::importLines(table, textimport::readImportLines(import), perRecord, skipLead);
        err << textimport::completionMessage(result) << Qt::endl;
    }

    out << fieldNames(table).join(QLatin1Char('\t')) << '\n';
    const int count = table.recordCount();
    for (int r = 0; r < count; ++r) {
        if (!table.isDeleted(r))
            out << table.readRecord(r).join(QLatin1Char('\t')) << '\n';
    }
    table.close();
    return 0;
}

int entryGridFromTable(
    ITableEngine &table, const QString &path, const QStringList &criteria, StringTable &entryGrid)
{
    if (criteria.size() > RecordSelection::CriterionCount)
        throw Error(
            tr("Es sind höchstens %1 Auswahlkriterien möglich.").arg(RecordSelection::CriterionCount));
    table.open(path);
    RecordSelection selection(table);
    selection.formShow();
    for (int k = 0; k < criteria.size(); ++k) {
        const qsizetype eq = criteria[k].indexOf(QLatin1Char('='));
        if (eq < 1)
            throw Error(tr("Ein Auswahlkriterium hat die Form FELD=WERT: \"%1\"").arg(criteria[k]));
        SelectionCriterion &criterion = selection.criteria()[k];
        criterion.on = true;
        criterion.field = criteria[k].left(eq);
        criterion.lower = criterion.upper = criteria[k].mid(eq + 1);
        if (!selection.fieldNames().contains(criterion.field))
            throw Error(tr("Die Datenbank \"%1\" hat kein Feld \"%2\".").arg(path, criterion.field));
    }
    selection.applyToAll();
    const int records = selection.handOver(entryGrid);
    table.close();
    return records;
}

} // namespace qm
