#pragma once

// Driving windows that a handler under test opens modally.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace qm::test {

// Runs the action once the window is the open modal window; until then the
// check is repeated at each turn of the event loop, a limited number of times.
inline void whenShownModal(QWidget *window, std::function<void()> action, int turns = 2000)
{
    QTimer::singleShot(0, [window, action, turns] {
        if (QApplication::activeModalWidget() == window && window->isVisible())
            action();
        else if (turns > 0)
            whenShownModal(window, action, turns - 1);
        else
            qWarning("%s was not shown", qPrintable(window->objectName()));
    });
}

} // namespace qm::test
