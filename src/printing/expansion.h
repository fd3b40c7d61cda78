#pragma once

#include "platform/stringtable.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace qm {

// Expands the entry grid into the label list, one row per printed label:
// record by record (rows 2 and below), each as often as its copies (column 0)
// say. A column whose title begins with "Seriennr." is a serial number: the
// first record's cell holds the start (empty means 1, and is set to "1");
// with serialInCopies every label counts on, otherwise the copies of a record
// share its number. Copies and the start are converted strictly
// (ConvertError). Before anything is built, a record with more than
// MaxCopiesPerRecord copies, or more than MaxLabelsPerRun labels in all, is
// refused with an Error. Returns the number of labels.
int expandEntryGrid(StringTable &entryGrid, StringTable &labelList, bool serialInCopies);

// The message for a run of more than MaxLabelsPerRun labels.
QString tooManyLabelsInRunMessage(qint64 labels);

// Reads records for the entry grid from CSV text (RFC 4180 quoting; UTF-8,
// or cp1252 when the bytes are not valid UTF-8): the first row is a header
// and is skipped, every further row is a record, its first value the number
// of copies. Rows end at CR LF, LF or a lone CR. Empty lines are skipped. Throws Error (German) for a row
// with more values than `fieldCount` + 1, naming the row, and for an open quote.
QList<QStringList> readCsvRecords(QByteArrayView bytes, int fieldCount);

} // namespace qm
