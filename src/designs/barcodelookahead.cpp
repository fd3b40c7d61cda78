#include "designs/barcodelookahead.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <exception>

namespace qm {

BarcodeLookAhead::BarcodeLookAhead(int threads)
    : m_pool(std::make_unique<QThreadPool>())
{
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount() - 1);
    m_pool->setMaxThreadCount(threads);
}

BarcodeLookAhead::~BarcodeLookAhead()
{
    m_pool->waitForDone();
}

void BarcodeLookAhead::prepare(Symbology kind, const QString &value)
{
    auto promise = std::make_shared<std::promise<std::optional<BarcodeSymbol>>>();
    Job job { kind, value, promise->get_future() };
    m_pool->start([promise, kind, value] {
        // What goes wrong on the worker (memory running out) reaches the
        // drawing thread when it takes the symbol.
        try {
            promise->set_value(encodeBarcode(kind, value));
        } catch (...) {
            promise->set_exception(std::current_exception());
        }
    });
    m_jobs.push_back(std::move(job));
}

std::optional<BarcodeSymbol> BarcodeLookAhead::take(Symbology kind, const QString &value)
{
    const auto match = std::find_if(
        m_jobs.begin(), m_jobs.end(), [&](const Job &job) { return job.kind == kind && job.value == value; });
    if (match == m_jobs.end())
        return encodeBarcode(kind, value);
    // Barcodes prepared before this one and skipped are not drawn any more.
    std::future<std::optional<BarcodeSymbol>> symbol = std::move(match->symbol);
    m_jobs.erase(m_jobs.begin(), match + 1);
    return symbol.get();
}

} // namespace qm
