#pragma once

#include "designs/barcode.h"

#include <QString>

#include <vector>

namespace qm {

struct PrintDesign;

// A data column that a design prints as a barcode.
struct BarcodeColumn
{
    int column = 0; // data column, from 1
    Symbology kind = Symbology::Ean13;
    QString name; // the field name
};

// The columns the design's BC records draw, in record order. A BC record
// whose box is smaller than 10 x 10 units or whose kind is unknown draws
// nothing and refuses no value, so it is not among them.
std::vector<BarcodeColumn> barcodeColumns(const PrintDesign &design);

// The message for `value` in data column `column` of record `record` when
// a barcode of `columns` prints that column and cannot print the value
// (unprintableBarcodeMessage()), else "". An empty value is no error. The
// input expert checks a value as it is typed with it; the print job's check
// of the records gives the same message.
QString unprintableValue(
    const std::vector<BarcodeColumn> &columns, int record, int column, const QString &value);

// The message for the first picture (XB record) of the design whose file
// cannot be read, "Das Bild "path" fehlt oder kann nicht gelesen werden.",
// or "" when every picture can be read. Relative paths are taken from
// `pictureFolder` (resolvedPicturePath()). Run before the printer is asked
// for, like the barcode check.
QString firstUnreadablePicture(const PrintDesign &design, const QString &pictureFolder = QString());

// A data column whose value names the picture a BF record draws.
struct PictureColumn
{
    int column = 0; // data column, from 1
    QString name; // the field name
};

// The columns the design's BF records draw, in record order.
std::vector<PictureColumn> pictureColumns(const PrintDesign &design);

// The line naming a picture file a record names that cannot be read:
// "Datensatz 3, Feld Bild: „BILDER/x.png“". `file` as the record gives it.
QString missingPictureLine(qint64 record, const QString &field, const QString &file);
// The message of a run whose records name pictures that cannot be read:
// "Diese Bilder fehlen oder können nicht gelesen werden:" and the lines, one
// each, then "… und n weitere" when `more` files were not listed.
QString missingPicturesMessage(const QStringList &lines, qint64 more);

} // namespace qm
