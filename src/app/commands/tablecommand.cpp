#include "tablecommand.h"

#include "app/commands/commandsupport.h"
#include "data/recordselection.h"
#include "data/tablecreation.h"
#include "data/tableengine.h"
#include "data/textimport.h"
#include "designs/printdesign.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"
#include "data/csvrecords.h"
#include "data/csvtable.h"
#include "data/csvtables.h"
#include "data/tablerecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace qm {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// A table that holds records is replaced only when asked to, as the windows
// ask first.
void refuseToEmpty(ITableEngine &table, const QString &path)
{
    if (!fileExists(path))
        return;
    int records = 0;
    try {
        table.open(path);
        records = table.recordCount();
        table.close();
    } catch (const Error &) {
        table.close();
        throw Error(tr("Die Datei %1 gibt es schon, ist aber keine lesbare Datenbank; mit --replace wird "
                       "sie ersetzt.")
                        .arg(path));
    }
    if (records > 0)
        throw Error(tr("Die Datenbank %1 existiert bereits und enthält %2 Datensätze; mit --replace wird sie "
                       "ersetzt.")
                        .arg(path)
                        .arg(records));
}

void createFromDesign(ITableEngine &table, const QString &path, const QString &design, bool replace)
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
    const QList<TableField> fields = tablecreation::fieldsFromList(fieldList);
    if (!replace)
        refuseToEmpty(table, path);
    table.create(path, fields);
}

} // namespace

namespace {

// TMPDIR as it is set (QDir::tempPath() gives nothing for a folder that is
// not there), else /tmp.
QString temporaryFolder()
{
    const QString set = qEnvironmentVariable("TMPDIR");
    return set.isEmpty() ? QStringLiteral("/tmp") : set;
}

} // namespace

StandardInputFile::StandardInputFile()
    : StandardInputFile(STDIN_FILENO, temporaryFolder())
{ }

StandardInputFile::StandardInputFile(int input, const QString &folder)
{
    struct stat info
    {
    };
    if (fstat(input, &info) == 0 && S_ISREG(info.st_mode)) {
        // A redirected file: read as it is.
        m_path = QStringLiteral("/proc/self/fd/%1").arg(input);
        return;
    }
    const auto cannotKeep = [&](int errorNumber) {
        return Error(tr("Die Standardeingabe kann nicht im Ordner %1 zwischengespeichert werden: %2. Mit "
                        "TMPDIR lässt sich ein anderer Ordner wählen.")
                         .arg(QDir::toNativeSeparators(folder), IoError::textFor(errorNumber)));
    };
    QByteArray name = QFile::encodeName(QDir(folder).filePath(QStringLiteral("quillmark-XXXXXX.csv")));
    const int copy = ::mkstemps(name.data(), 4);
    if (copy < 0)
        throw cannotKeep(errno);
    // The constructor that throws has no destructor to remove the copy.
    auto dropCopy = qScopeGuard([&] {
        ::close(copy);
        ::unlink(name.constData());
    });
    std::vector<char> chunk(size_t(1) << 16);
    qint64 total = 0;
    for (;;) {
        const ssize_t got = ::read(input, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Error(tr("Die Standardeingabe kann nicht gelesen werden: %1").arg(IoError::textFor(errno)));
        if (got == 0)
            break;
        total += got;
        if (total > MaxRecordFileBytes)
            throw Error(tr("Die Standardeingabe ist größer als %1 Bytes.").arg(MaxRecordFileBytes));
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(copy, chunk.data() + done, size_t(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                throw cannotKeep(put < 0 ? errno : ENOSPC);
            done += put;
        }
    }
    dropCopy.dismiss();
    if (::close(copy) != 0) {
        const int err = errno;
        ::unlink(name.constData());
        throw cannotKeep(err);
    }
    m_copy = name;
    m_path = QFile::decodeName(name);
}

StandardInputFile::~StandardInputFile()
{
    if (!m_copy.isEmpty())
        ::unlink(m_copy.constData());
}

int tableCommand(const TableCall &call, QTextStream &out, QTextStream &err, ITableEngine &table)
{
    if (!call.design.isEmpty())
        createFromDesign(table, call.path, call.design, call.replace);
    else
        table.open(call.path,
            call.import.isEmpty() && call.importCsv.isEmpty() ? TableAccess::ReadOnly
                                                              : TableAccess::ReadWrite);

    if (!call.import.isEmpty()) {
        const int fieldCount = int(table.fields().size());
        int perRecord = fieldCount;
        if (!call.lines.isEmpty()) {
            QString lines = call.lines;
            if (const std::optional<QString> message = textimport::checkLinesPerRecord(lines, fieldCount))
                throw Error(*message);
            perRecord = strToInt(lines);
        }
        const ImportResult result = textimport::importLines(
            table, textimport::readImportLines(call.import), perRecord, call.skipLeadLine);
        err << textimport::completionMessage(result) << Qt::endl;
    }
    if (!call.importCsv.isEmpty()) {
        std::optional<StandardInputFile> input;
        if (call.importCsv == QLatin1String("-"))
            input.emplace();
        const ImportResult result = csvtables::importCsvFile(table, input ? input->path() : call.importCsv);
        err << tr("%1 Datensätze übernommen.").arg(result.records) << ' '
            << textimport::completionMessage(result) << Qt::endl;
    }
    if (!call.exportCsv.isEmpty()) {
        if (call.exportCsv == QLatin1String("-"))
            out << QString::fromUtf8(csvtables::exportCsv(table));
        else
            csvtables::exportCsvFile(table, call.exportCsv);
        table.close();
        return 0;
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

std::unique_ptr<TableRecordStream> selectedTableRecords(
    ITableEngine &table, const QString &path, const QStringList &criteria, StringTable &entryGrid)
{
    if (criteria.size() > SelectionCriterionCount)
        throw Error(tr("Es sind höchstens %1 Auswahlkriterien möglich.").arg(SelectionCriterionCount));
    table.open(path, TableAccess::ReadOnly);
    const QStringList names = fieldNames(table);
    SelectionCriteria selection;
    for (int k = 0; k < criteria.size(); ++k) {
        const qsizetype eq = criteria[k].indexOf(QLatin1Char('='));
        if (eq < 1)
            throw Error(tr("Ein Auswahlkriterium hat die Form FELD=WERT: %1").arg(quotedValue(criteria[k])));
        SelectionCriterion &criterion = selection[k];
        criterion.on = true;
        criterion.field = criteria[k].left(eq);
        criterion.lower = criterion.upper = criteria[k].mid(eq + 1);
        if (!names.contains(criterion.field))
            throw Error(
                tr("Die Datenbank \"%1\" hat kein Feld %2.").arg(path, quotedValue(criterion.field)));
    }
    entryGrid.clearRowsFrom(2);
    entryGrid.setColCount(int(names.size()) + 1);
    for (int c = 1; c <= names.size(); ++c)
        entryGrid.setCell(c, 0, names[c - 1]);
    entryGrid.setRowCount(2);
    return std::make_unique<TableRecordStream>(table, selection);
}

// table FILE.dbf [--create DESIGN] [--import TEXT [--lines N] [--skip-lead-line]]
int tableCommandOf(const Call &call, QTextStream &out, QTextStream &err)
{
    TableCall table;
    // A table to create is made where it is named; one to read is looked up.
    table.path = call.isSet("create") ? call.files[0] : lookUp(call, call.files[0], EntryFileKind::Database);
    if (call.isSet("create"))
        table.design = lookUp(call, call.value("create"), EntryFileKind::Design);
    table.replace = call.isSet("replace");
    if (table.replace && !call.isSet("create"))
        throw UsageError(tr("--replace gilt nur mit --create."), usageOf("table"));
    table.import = call.value("import");
    table.lines = call.value("lines");
    table.skipLeadLine = call.isSet("skip-lead-line");
    table.importCsv = call.value("import-csv");
    table.exportCsv = call.value("export-csv");
    if (table.import.isEmpty() && (call.isSet("lines") || table.skipLeadLine))
        throw UsageError(tr("--lines und --skip-lead-line gelten nur mit --import."), usageOf("table"));
    TableFiles engine;
    return tableCommand(table, out, err, engine);
}

} // namespace qm
