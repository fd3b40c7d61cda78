#pragma once

#include <QWidget>

namespace qm {

// The title window: a borderless picture in the middle of the screen while
// the program starts. The main window shows it without waiting for input
// and hides it again after a while.
class TTitel : public QWidget
{
    Q_OBJECT

public:
    explicit TTitel(QWidget *parent = nullptr);

    // Centres the window on the screen and shows it; returns at once.
    void showCentered();
};

} // namespace qm
