#include "previewwindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace qm {

PreviewWindow::PreviewWindow(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Vorschau"));
    setObjectName(QStringLiteral("Vorschau"));

    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("Seitenbild"));
    m_image->setAlignment(Qt::AlignCenter);
    m_area = new QScrollArea(this);
    m_area->setWidget(m_image);
    m_area->setWidgetResizable(true);
    m_area->setAlignment(Qt::AlignCenter);
    m_area->setBackgroundRole(QPalette::Dark);

    m_pageText = new QLabel(this);
    m_pageText->setObjectName(QStringLiteral("Seitenzahl"));
    m_back = new QPushButton(tr("<< &Zurück"), this);
    m_back->setObjectName(QStringLiteral("Button_Zurueck"));
    m_next = new QPushButton(tr("&Weiter >>"), this);
    m_next->setObjectName(QStringLiteral("Button_Weiter"));
    auto *close = new QPushButton(tr("&Schließen"), this);
    close->setObjectName(QStringLiteral("Button_Schliessen"));
    for (QPushButton *button : { m_back, m_next, close })
        button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_pageText);
    buttons->addStretch(1);
    buttons->addWidget(m_back);
    buttons->addWidget(m_next);
    buttons->addSpacing(12);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_area, 1);
    layout->addLayout(buttons);

    connect(m_back, &QPushButton::clicked, this, &PreviewWindow::Button_ZurueckClick);
    connect(m_next, &QPushButton::clicked, this, &PreviewWindow::Button_WeiterClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    showPage(0);
}

void PreviewWindow::setPages(QList<QImage> pages)
{
    m_pages = std::move(pages);
    showPage(m_pages.isEmpty() ? 0 : 1);
    // As large as a page, as far as the screen allows.
    if (!m_pages.isEmpty()) {
        QSize wanted = m_pages.first().size() + QSize(60, 90);
        if (const QScreen *screen = this->screen())
            wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
        resize(wanted);
    }
}

void PreviewWindow::Button_ZurueckClick()
{
    showPage(m_current - 1);
}

void PreviewWindow::Button_WeiterClick()
{
    showPage(m_current + 1);
}

void PreviewWindow::showPage(int page)
{
    const int count = pageCount();
    m_current = count == 0 ? 0 : std::clamp(page, 1, count);
    m_shown = m_current > 0 ? m_pages.at(m_current - 1) : QImage();
    m_image->setPixmap(QPixmap::fromImage(m_shown));
    m_pageText->setText(tr("Seite %1 von %2").arg(m_current).arg(count));
    m_back->setEnabled(m_current > 1);
    m_next->setEnabled(m_current < count);
}

} // namespace qm
