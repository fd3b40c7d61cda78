// The table reader on arbitrary bytes: the header check, then (when the
// header passes) every record through the shapelib engine, the record
// selection's loading and one appended record.
#include "data/dbflayout.h"
#include "data/recordselection.h"
#include "data/shapelibtable.h"
#include "fuzzinput.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const qm::DbfLayout layout = qm::parseDbfHeader(bytes, qsizetype(size), QStringLiteral("x.dbf"));
        if (layout.headerLength < bytes.size())
            (void)qm::decodeDbfRecord(layout, bytes.sliced(layout.headerLength));
    } catch (const qm::Error &) {
        return 0;
    }
    const FuzzInputFile file(data, size);
    static qm::ShapelibTable table; // the library is bound once
    try {
        table.open(file.path());
        qm::RecordSelection selection(table);
        selection.formShow();
        selection.criteria()[0] = { true, selection.fieldNames().value(0), QStringLiteral("M"), QString() };
        selection.applyToAll();
        table.appendRecord({ QStringLiteral("Zeichen äöü €"), QStringLiteral("x") });
        (void)qm::liveRecords(table);
    } catch (const qm::Error &) { }
    table.close();
    return 0;
}
