#include "printinformation.h"

#include "pictures.h"
#include "placement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace qm {

namespace {

// A panel of the status line, at least `minimumWidth` pixels wide and wide
// enough for the longest of the texts it will show.
QLabel *addPanel(QStatusBar *status, const char *name, const QString &text, int minimumWidth,
    const QStringList &longest, int stretch)
{
    auto *panel = new QLabel(text, status);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    int width = minimumWidth;
    for (const QString &sample : longest)
        width = std::max(width, panel->fontMetrics().horizontalAdvance(sample) + 2 * panel->frameWidth() + 4);
    panel->setMinimumWidth(width);
    status->addWidget(panel, stretch);
    return panel;
}

} // namespace

TDruckInformation::TDruckInformation(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_printer(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_cancel(new QPushButton(tr("Abbrechen"), this))
    , m_status(new QStatusBar(this))
{
    setObjectName(QStringLiteral("TDruckInformation"));
    setWindowTitle(tr("Drucken"));
    // The run keeps windows painted while it waits; input to the other
    // windows must wait too, or a second run could start inside the first.
    setWindowModality(Qt::ApplicationModal);

    auto *picture = new PictureView(&drawPrinterPicture, PrinterPictureSize, this);
    picture->setObjectName(QStringLiteral("Bild"));

    auto *heading = new QLabel(tr("Ausdruck wird vorbereitet."), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    auto *pleaseWait = new QLabel(tr("Bitte warten Sie einen Moment ..."), this);

    m_printer->setObjectName(QStringLiteral("Label_Drucker"));
    m_printer->setMinimumWidth(m_printer->fontMetrics().averageCharWidth() * MaxPrinterNameLength);

    m_bar->setObjectName(QStringLiteral("ProgressZeile"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);

    m_cancel->setObjectName(QStringLiteral("Abbruch_Button"));
    connect(m_cancel, &QPushButton::clicked, this, &TDruckInformation::Abbruch_ButtonClick);

    m_status->setObjectName(QStringLiteral("StatusZeile"));
    m_status->setSizeGripEnabled(false);
    // The texts the sheet layout writes, with room for four-digit numbers.
    m_labelPanel = addPanel(m_status, "Panel_Etikett", tr("Etikett"), 70,
        { QCoreApplication::translate("qm", "Etikett %1").arg(8888) }, 0);
    m_pagePanel = addPanel(m_status, "Panel_Seite", tr("Seite"), 60,
        { QCoreApplication::translate("qm", "Seite %1").arg(888) }, 0);
    m_actionPanel = addPanel(m_status, "Panel_Aktion", tr("Aktion"), 50,
        { QCoreApplication::translate("qm", "Übergebe Daten an Drucker ..."),
            QCoreApplication::translate("qm", "Schließe Drucker ...") },
        1);

    auto *texts = new QVBoxLayout;
    texts->addWidget(heading);
    texts->addWidget(pleaseWait);
    texts->addSpacing(6);
    texts->addWidget(m_printer);
    texts->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(texts, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
}

void TDruckInformation::setClock(Clock clock)
{
    m_clock = std::move(clock);
    m_lastEvents = m_clock();
}

void TDruckInformation::keepResponsive()
{
    if (!isVisible())
        return;
    const qint64 now = m_clock();
    if (now - m_lastEvents < EventInterval)
        return;
    m_lastEvents = now;
    QCoreApplication::processEvents();
}

void TDruckInformation::showForRun(const QString &printerName)
{
    m_bar->setValue(0);
    m_total = 0;
    m_done = 0;
    m_printer->setText(printerName.left(MaxPrinterNameLength));
    setActionText(tr("Starte ..."));
    setPageText(QString());
    setLabelText(QString());
    m_cancelRequested = false;
    m_cancel->setText(tr("Abbrechen"));
    m_cancel->setEnabled(true);
    centerOnScreen(*this);
    show();
    m_lastEvents = m_clock();
}

void TDruckInformation::hideWindow()
{
    hide();
}

void TDruckInformation::setLabelText(const QString &text)
{
    keepResponsive();
    m_labelPanel->setText(text);
}

void TDruckInformation::setPageText(const QString &text)
{
    keepResponsive();
    m_pagePanel->setText(text);
}

void TDruckInformation::setActionText(const QString &text)
{
    keepResponsive();
    m_actionPanel->setText(text);
}

void TDruckInformation::setProgressStep(int step)
{
    m_step = step;
}

void TDruckInformation::setProgressTotal(int labels)
{
    m_total = std::max(labels, 0);
    m_done = 0;
}

void TDruckInformation::stepProgress()
{
    keepResponsive();
    if (m_total > 0) {
        m_done = std::min(m_done + 1, m_total);
        m_bar->setValue(int(qint64(m_done) * 100 / m_total));
        return;
    }
    m_bar->setValue(std::clamp(m_bar->value() + m_step, m_bar->minimum(), m_bar->maximum()));
}

void TDruckInformation::reached(LayoutStep)
{
    keepResponsive();
}

void TDruckInformation::Abbruch_ButtonClick()
{
    m_cancelRequested = true;
    m_cancel->setEnabled(false);
    m_cancel->setText(tr("Wird abgebrochen ..."));
}

QString TDruckInformation::printerName() const
{
    return m_printer->text();
}

QString TDruckInformation::labelText() const
{
    return m_labelPanel->text();
}

QString TDruckInformation::pageText() const
{
    return m_pagePanel->text();
}

QString TDruckInformation::actionText() const
{
    return m_actionPanel->text();
}

int TDruckInformation::progressValue() const
{
    return m_bar->value();
}

void TDruckInformation::closeEvent(QCloseEvent *event)
{
    // The run hides the window when it ends; closing it by hand would leave
    // the run going on unseen, so it counts as "Abbrechen".
    if (!isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    if (!m_cancelRequested)
        Abbruch_ButtonClick();
}

} // namespace qm
