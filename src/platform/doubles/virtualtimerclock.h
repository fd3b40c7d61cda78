#pragma once

#include <QList>
#include <QPointer>
#include <QTimer>

namespace qm {

// Runs QTimers on a virtual clock for tests: no real time passes and the
// event loop is not needed. A watched timer that is running fires each time
// the clock has advanced by its interval since it was started (or its
// interval changed) or since it fired last. Only watched timers fire, and
// only here: the tests never enter the event loop.
class VirtualTimerClock
{
public:
    void watch(QTimer *timer);
    // Advances the clock millisecond by millisecond, firing the timers that
    // fall due; a handler may stop, restart or change its timer.
    void advance(qint64 ms);
    qint64 now() const { return m_now; }

private:
    struct Watched
    {
        QPointer<QTimer> timer;
        bool running = false;
        int interval = 0;
        int id = -1;
        qint64 due = 0;
    };

    void sync(Watched &w) const;

    QList<Watched> m_watched;
    qint64 m_now = 0;
};

} // namespace qm
