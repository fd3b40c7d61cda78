#pragma once

#include "designs/barcode.h"

#include <QString>

#include <deque>
#include <future>
#include <memory>
#include <optional>

class QThreadPool;

namespace qm {

// How many labels ahead of the one being drawn a print run prepares the
// barcodes of: a sheet and more, so that the workers are never short of work
// while the drawing goes on.
inline constexpr int BarcodeLookAheadLabels = 64;

// Barcodes laid out ahead of their drawing, on other processor cores: a
// print run hands over the barcodes of the labels to come (prepare()) and
// takes each symbol when its label is drawn (take()), in the same order.
// Meanwhile the drawing thread goes on with the labels before them and with
// the printer's own work. A barcode that was not prepared, or not in that
// order, is laid out when it is taken: the result is the same, only later.
class BarcodeLookAhead
{
public:
    // `threads` workers; 0 or less: one fewer than the processor has cores,
    // at least one.
    explicit BarcodeLookAhead(int threads = 0);
    // Waits for the workers to end what they began.
    ~BarcodeLookAhead();
    BarcodeLookAhead(const BarcodeLookAhead &) = delete;
    BarcodeLookAhead &operator=(const BarcodeLookAhead &) = delete;

    // Starts laying out `value` as a barcode of `kind` (encodeBarcode()).
    void prepare(Symbology kind, const QString &value);
    // The symbol of `value` as `kind`: the oldest prepared one of this
    // barcode (waiting for it if need be; those prepared before it are
    // dropped), else laid out now.
    std::optional<BarcodeSymbol> take(Symbology kind, const QString &value);
    // Barcodes prepared and not yet taken.
    int waiting() const { return static_cast<int>(m_jobs.size()); }

private:
    struct Job
    {
        Symbology kind;
        QString value;
        std::future<std::optional<BarcodeSymbol>> symbol;
    };
    std::unique_ptr<QThreadPool> m_pool;
    std::deque<Job> m_jobs;
};

} // namespace qm
