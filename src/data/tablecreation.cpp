#include "tablecreation.h"

#include "platform/errors.h"

#include <QCoreApplication>
#include <QDir>

namespace qm::tablecreation {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("qm", text);
}

// The width from the size text: at most two digits, read up to the first
// non-digit ("6 Zeichen" gives 6, "12 Zeichen" 12).
int widthFrom(const QString &sizeText)
{
    const QString head = sizeText.left(2);
    int i = 0;
    while (i < head.size() && head[i] == QLatin1Char(' '))
        ++i;
    int width = 0;
    for (; i < head.size() && head[i].isDigit() && head[i].unicode() < 0x80; ++i)
        width = width * 10 + head[i].digitValue();
    return width;
}

} // namespace

std::optional<QString> warning(const QString &tableName, const StringTable &fieldList)
{
    if (tableName.isEmpty())
        return tr("Bitte bestimmen Sie zunächst den Namen der Datenbank !");
    if (fieldList.colCount() < 2)
        return tr("Etikett besitzt keine Felder, Datenbank kann nicht erstellt werden.");
    return std::nullopt;
}

QList<TableField> fieldsFromList(const StringTable &fieldList)
{
    QList<TableField> fields;
    for (int c = 1; c < fieldList.colCount(); ++c) {
        const QString name = fieldList.cell(c, 1);
        if (name.isEmpty()) {
            throw Error(tr("Feld %1 der Etikettendatei hat keinen Namen (an seiner Stelle steht eine "
                           "Seriennummer). Die Datenbank kann so nicht erstellt werden.")
                            .arg(c));
        }
        fields << TableField { name, widthFrom(fieldList.cell(c, 2)) };
    }
    return fields;
}

QString newTablePath(const QString &typed, const QString &tableFolder)
{
    QString path = typed.trimmed();
    if (path.isEmpty())
        return path;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.startsWith(QLatin1String("~/")))
        path = QDir::homePath() + path.mid(1);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString name = path.mid(slash + 1);
    if (!name.isEmpty() && !name.contains(QLatin1Char('.')))
        path += QLatin1String(".dbf");
    if (slash < 0 && !tableFolder.isEmpty())
        path = QDir(tableFolder).filePath(path);
    return path;
}

QString createdMessage(const QString &path)
{
    return tr("Neue Datenbank \"%1\" wurde angelegt.").arg(path);
}

} // namespace qm::tablecreation
