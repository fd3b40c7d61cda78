#include "printing/barcodecheck.h"

#include "designs/printdesign.h"
#include "designs/rendering.h"
#include "platform/canvas/canvas.h"
#include "platform/errors.h"
#include "printing/labelsource.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <algorithm>

namespace qm {

std::vector<BarcodeColumn> barcodeColumns(const PrintDesign &design)
{
    std::vector<BarcodeColumn> columns;
    int column = 0;
    for (const PrintRecord &r : design.records) {
        const bool takesColumn = r.key == u"EF" || r.key == u"BC" || (r.key == u"SE" && r.c != 0);
        if (!takesColumn)
            continue;
        ++column;
        if (drawsBarcode(r))
            columns.push_back({ column, static_cast<Symbology>(r.e), r.text });
    }
    return columns;
}

namespace {

// A value of the records read and where it stands.
struct ReadValue
{
    int record;
    int column;
    QString value;
};

// The first of `values` that its barcode cannot print, checked on all cores
// (each value as unprintableValue() checks it); -1 when every one prints.
qsizetype firstUnprintable(const std::vector<BarcodeColumn> &columns, const std::vector<ReadValue> &values,
    QThreadPool &pool, int slices)
{
    std::vector<char> bad(values.size(), 0);
    const auto check = [&](int slice) {
        for (size_t i = static_cast<size_t>(slice); i < values.size(); i += static_cast<size_t>(slices)) {
            const ReadValue &v = values[i];
            bad[i] = !unprintableValue(columns, v.record, v.column, v.value).isEmpty();
        }
    };
    for (int slice = 1; slice < slices; ++slice)
        pool.start([&check, slice] { check(slice); });
    check(0);
    pool.waitForDone();
    const auto first = std::find(bad.begin(), bad.end(), 1);
    return first == bad.end() ? -1 : first - bad.begin();
}

} // namespace

QString firstUnprintableBarcode(const PrintDesign &design, IRecordReader &records)
{
    const std::vector<BarcodeColumn> columns = barcodeColumns(design);
    if (columns.empty())
        return {};
    // The records are read in batches, and each batch is checked on every
    // core; the first bad value in record order is the one reported.
    constexpr size_t Batch = 2048;
    QThreadPool pool;
    const int slices = std::max(1, QThread::idealThreadCount());
    pool.setMaxThreadCount(std::max(1, slices - 1));
    std::vector<ReadValue> values;
    values.reserve(Batch);
    QStringList record;
    int number = 0;
    bool more = true;
    while (more) {
        values.clear();
        while (values.size() < Batch && (more = records.next(record))) {
            ++number;
            for (const BarcodeColumn &c : columns) {
                QString value = c.column < record.size() ? record[c.column] : QString();
                if (!value.isEmpty())
                    values.push_back({ number, c.column, std::move(value) });
            }
        }
        if (const qsizetype bad = firstUnprintable(columns, values, pool, slices); bad >= 0) {
            const ReadValue &v = values[static_cast<size_t>(bad)];
            return unprintableValue(columns, v.record, v.column, v.value);
        }
    }
    return {};
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

} // namespace qm
