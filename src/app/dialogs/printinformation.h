#pragma once

#include "app/dialogs/progresswindow.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace qm {

// The progress window of a print run ("Drucken"): the printer's name, a bar
// and a status line with the label, the page and the current action. It has
// no window buttons; "Abbrechen" asks the run to stop after the current
// label, and so does an attempt to close the window while it is shown.
//
// A run that does not wait (printing without waits) gives the event loop no
// turn of its own; while the window is shown, its progress calls therefore
// handle the pending events (painting, "Abbrechen") themselves, at most every
// EventInterval milliseconds, so that a fast run is not slowed down.
class TDruckInformation : public QWidget, public IProgressWindow
{
    Q_OBJECT

public:
    static constexpr int MaxPrinterNameLength = 40;

    static constexpr int EventInterval = 50;
    // Milliseconds on a steady clock; the tests give a virtual one.
    using Clock = std::function<qint64()>;

    explicit TDruckInformation(QWidget *parent = nullptr);
    void setClock(Clock clock);

    // IProgressWindow
    void showForRun(const QString &printerName) override;
    void hideWindow() override;
    void setLabelText(const QString &text) override;
    void setPageText(const QString &text) override;
    void setActionText(const QString &text) override;
    void setProgressStep(int step) override;
    // Advances the bar by the step, stopping at 100.
    void stepProgress() override;
    // With a total the bar shows the share of labels done.
    void setProgressTotal(int labels) override;
    void reached(LayoutStep step) override;
    bool cancelRequested() const override { return m_cancelRequested; }

    // "Abbrechen": the run stops after the current label; the button is
    // disabled so that the user sees the request was taken.
    void Abbruch_ButtonClick();

    // What the window shows.
    QString printerName() const;
    QString labelText() const;
    QString pageText() const;
    QString actionText() const;
    int progressValue() const;
    int progressStep() const { return m_step; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Handles the pending events when the last turn lies EventInterval ms
    // back and the window is shown.
    void keepResponsive();

    QLabel *m_printer;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
    QStatusBar *m_status;
    QLabel *m_labelPanel;
    QLabel *m_pagePanel;
    QLabel *m_actionPanel;
    int m_step = 0;
    int m_total = 0; // labels of the run, 0: count by steps
    int m_done = 0;
    bool m_cancelRequested = false;
    QElapsedTimer m_elapsed;
    Clock m_clock;
    qint64 m_lastEvents = 0;
};

} // namespace qm
