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

} // namespace qm
