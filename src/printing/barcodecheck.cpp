#include "printing/barcodecheck.h"

#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/canvas.h"
#include "platform/errors.h"

#include <QCoreApplication>


namespace qm {

std::vector<BarcodeColumn> barcodeColumns(const PrintDesign &design)
{
    std::vector<BarcodeColumn> columns;
    int column = 0;
    for (const PrintRecord &r : design.records) {
        const bool takesColumn
            = r.key == u"EF" || r.key == u"BC" || r.key == u"BF" || (r.key == u"SE" && r.c != 0);
        if (!takesColumn)
            continue;
        ++column;
        if (drawsBarcode(r))
            columns.push_back({ column, static_cast<Symbology>(r.e), r.text });
    }
    return columns;
}

QString unprintableValue(
    const std::vector<BarcodeColumn> &columns, int record, int column, const QString &value)
{
    if (value.isEmpty())
        return {};
    for (const BarcodeColumn &c : columns) {
        if (c.column == column && !canEncode(c.kind, value))
            return unprintableBarcodeMessage(record, c.name, value, c.kind);
    }
    return {};
}

QString firstUnreadablePicture(const PrintDesign &design, const QString &pictureFolder)
{
    for (const PrintRecord &r : design.records) {
        if (r.key != u"XB")
            continue;
        try {
            readBitmapFile(resolvedPicturePath(r.text, pictureFolder));
        } catch (const Error &) {
            return QCoreApplication::translate("qm", "Das Bild \"%1\" fehlt oder kann nicht gelesen werden.")
                .arg(r.text);
        }
    }
    return {};
}

std::vector<PictureColumn> pictureColumns(const PrintDesign &design)
{
    std::vector<PictureColumn> columns;
    int column = 0;
    for (const PrintRecord &r : design.records) {
        if (r.key == u"EF" || r.key == u"BC" || (r.key == u"SE" && r.c != 0))
            ++column;
        else if (r.key == u"BF")
            columns.push_back({ ++column, r.text });
    }
    return columns;
}

QString missingPictureLine(qint64 record, const QString &field, const QString &file)
{
    return QCoreApplication::translate("qm", "Datensatz %1, Feld %2: „%3“").arg(record).arg(field, file);
}

QString missingPicturesMessage(const QStringList &lines, qint64 more)
{
    QString message = QCoreApplication::translate("qm", "Diese Bilder fehlen oder können nicht gelesen werden:");
    for (const QString &line : lines)
        message += u'\n' + line;
    if (more > 0)
        message += u'\n' + QCoreApplication::translate("qm", "… und %1 weitere").arg(more);
    return message;
}

} // namespace qm
