#include "qtwaiter.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace qm {

void QtWaiter::wait(int ms)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Pending events are handled also for a wait of 0 ms. The loop may end
    // early when the application asks every loop to quit: keep waiting for
    // the rest of the time then.
    qint64 left = std::max(ms, 0);
    do {
        timer.start(static_cast<int>(left));
        loop.exec();
        left = ms - clock.elapsed();
    } while (left > 0);
}

} // namespace qm
