#include "virtualtimerclock.h"

#include <algorithm>

namespace qm {

void VirtualTimerClock::watch(QTimer *timer)
{
    Watched w;
    w.timer = timer;
    sync(w);
    m_watched.append(w);
}

void VirtualTimerClock::sync(Watched &w) const
{
    if (!w.timer || !w.timer->isActive()) {
        w.running = false;
        return;
    }
    // A timer seen running for the first time, or started again with
    // another interval, counts its interval from now.
    if (!w.running || w.interval != w.timer->interval() || w.id != w.timer->timerId()) {
        w.running = true;
        w.interval = w.timer->interval();
        w.id = w.timer->timerId();
        w.due = m_now + std::max(w.interval, 1);
    }
}

void VirtualTimerClock::advance(qint64 ms)
{
    for (qint64 i = 0; i < ms; ++i) {
        for (Watched &w : m_watched)
            sync(w);
        ++m_now;
        for (Watched &w : m_watched) {
            if (!w.running || m_now < w.due)
                continue;
            w.due = m_now + std::max(w.interval, 1);
            // timeout() is a signal without arguments of its own: invoking it
            // runs every connected handler as a real tick would.
            QMetaObject::invokeMethod(w.timer.data(), "timeout", Qt::DirectConnection);
            if (w.timer && w.timer->isSingleShot())
                w.timer->stop();
            sync(w);
        }
    }
}

} // namespace qm
