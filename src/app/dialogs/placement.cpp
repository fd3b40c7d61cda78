#include "placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qm {

void centerOnScreen(QWidget &window)
{
    QScreen *screen = window.screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    window.adjustSize();
    // The frame's size is known once the native window exists.
    window.winId();
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

} // namespace qm
