#pragma once

#include "platform/services.h"

#include <QList>

#include <functional>

namespace qm {

// Waiting for tests: no time passes, a virtual clock advances by each wait
// and every wait is recorded. A hook runs at each wait with the virtual
// time at its end, for tests that look at the program while it waits.
class VirtualWaiter : public IWaiter
{
public:
    void wait(int ms) override;

    // Milliseconds waited so far (negative waits count as 0).
    qint64 now() const { return m_now; }
    const QList<int> &waits() const { return m_waits; }
    void setOnWait(std::function<void(int ms, qint64 now)> hook) { m_onWait = std::move(hook); }
    void clear();

private:
    qint64 m_now = 0;
    QList<int> m_waits;
    std::function<void(int, qint64)> m_onWait;
};

} // namespace qm
