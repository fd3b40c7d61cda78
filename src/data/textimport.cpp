#include "textimport.h"

#include "data/tableengine.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringDecoder>

namespace qm::textimport {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// CR LF, a lone LF and a lone CR each end a line, as in every text file
// the program reads.
QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\n') && text[end] != QLatin1Char('\r'))
            ++end;
        lines << text.mid(start, end - start);
        if (end + 1 < n && text[end] == QLatin1Char('\r') && text[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    return lines;
}

} // namespace

QStringList readImportLines(const QString &path)
{
    const QFileInfo info(path);
    if (!fileExists(path))
        throw IoError(info.exists() ? EISDIR : ENOENT);
    if (info.size() > MaxFileSize)
        throw Error(tr("Die Datei \"%1\" ist für einen Import zu groß (mehr als 64 MB).").arg(path));
    QByteArray bytes = readTextFileBytes(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = decodeCp1252(bytes);
    return splitLines(text);
}

QStringList previewLines(const QStringList &lines, int linesPerRecord, bool skipLeadLine)
{
    const int first = skipLeadLine ? 1 : 0;
    return lines.mid(first, std::max(0, linesPerRecord));
}

std::optional<QString> checkLinesPerRecord(QString &text, int fieldCount)
{
    if (text.isEmpty()) {
        text = QStringLiteral("1");
        return std::nullopt;
    }
    const int n = strToInt(text);
    if (n > fieldCount) {
        text = QString::number(fieldCount);
        return tr("Datenbank hat maximal %1 Felder.").arg(fieldCount);
    }
    text = QString::number(n);
    return std::nullopt;
}

ImportResult importLines(ITableEngine &table, const QStringList &lines, int linesPerRecord, bool skipLeadLine)
{
    const QList<TableField> fields = table.fields();
    const int fieldCount = int(fields.size());
    if (linesPerRecord < 1 || linesPerRecord > fieldCount) {
        throw Error(tr("Die Anzahl der Zeilen pro Datensatz muss zwischen 1 und %1 liegen.").arg(fieldCount));
    }

    // The blocks first, so that a bad line stops the import before anything
    // is written.
    QList<QStringList> records;
    qsizetype at = 0;
    while (at < lines.size()) {
        if (skipLeadLine) {
            ++at;
            if (at >= lines.size())
                break; // a lead line alone begins no record
        }
        QStringList values;
        for (int k = 0; k < linesPerRecord && at < lines.size(); ++k, ++at) {
            if (lines[at].contains(QChar(0))) {
                throw Error(tr("Zeile %1 enthält ein Nullzeichen. Es wurde nichts importiert.").arg(at + 1));
            }
            QByteArray probe;
            qsizetype bad = -1;
            if (!encodeCp1252(lines[at], probe, &bad)) {
                throw EncodingError(tr("Das Zeichen \"%1\" in Zeile %2 kann die Datenbank nicht speichern. "
                                       "Es wurde nichts importiert.")
                                        .arg(lines[at].mid(bad, 1))
                                        .arg(at + 1));
            }
            // Numbers, dates and logical values as the field's type stores them.
            const FieldValue checked = checkFieldValue(fields[k], lines[at]);
            if (!checked.error.isEmpty()) {
                throw Error(tr("Zeile %1, Feld %2: %3. Es wurde nichts importiert.")
                                .arg(at + 1)
                                .arg(fields[k].name, checked.error));
            }
            values << checked.stored;
        }
        records << values;
    }

    ImportResult result;
    qsizetype next = 0;
    appendAllOrNothing(table, result, [&](QStringList &values) {
        if (next == records.size())
            return false;
        values = records[next++];
        return true;
    });
    return result;
}

void appendAllOrNothing(
    ITableEngine &table, ImportResult &result, const std::function<bool(QStringList &values)> &next)
{
    // The records and then the header's count; a write that fails leaves
    // the table as it was.
    QStringList values;
    try {
        while (next(values)) {
            result.cutValues += table.appendRecord(values);
            ++result.records;
        }
        table.flush();
    } catch (...) {
        table.discard();
        throw;
    }
}

QString completionMessage(const ImportResult &result)
{
    QString text = tr("Importieren der Daten wurde korrekt abgeschlossen.");
    if (result.cutValues == 1)
        text += QLatin1Char('\n') + tr("1 Wert war länger als sein Feld und wurde gekürzt.");
    else if (result.cutValues > 1)
        text += QLatin1Char('\n')
            + tr("%1 Werte waren länger als ihr Feld und wurden gekürzt.").arg(result.cutValues);
    if (!result.unusedColumns.isEmpty())
        text += QLatin1Char('\n')
            + tr("Spalten ohne Feld der Datenbank wurden nicht übernommen: %1.")
                  .arg(result.unusedColumns.join(QStringLiteral(", ")));
    if (!result.emptyFields.isEmpty())
        text += QLatin1Char('\n')
            + tr("Felder ohne Spalte in der Datei blieben leer: %1.")
                  .arg(result.emptyFields.join(QStringLiteral(", ")));
    return text;
}

} // namespace qm::textimport
