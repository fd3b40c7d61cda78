#include "previewwindow.h"

#include "platform/errors.h"
#include "printing/preview.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

#include <new>

namespace qm {

PreviewWindow::PreviewWindow(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Vorschau"));
    setObjectName(QStringLiteral("Vorschau"));

    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("Seitenbild"));
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setWordWrap(true);
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

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::setPages(std::unique_ptr<PreviewPages> pages)
{
    m_pages = std::move(pages);
    showPage(pageCount() > 0 ? 1 : 0);
    // As large as a page, as far as the screen allows.
    if (!m_shown.isNull()) {
        QSize wanted = m_shown.size() + QSize(60, 90);
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

int PreviewWindow::pageCount() const
{
    return m_pages ? m_pages->pageCount() : 0;
}

void PreviewWindow::showPage(int page)
{
    const int count = pageCount();
    m_current = count == 0 ? 0 : std::clamp(page, 1, count);
    m_shown = QImage();
    m_error.clear();
    if (m_current > 0) {
        try {
            m_shown = m_pages->page(m_current - 1);
        } catch (const Error &e) {
            m_error = e.message();
        } catch (const std::bad_alloc &) {
            m_error = outOfMemoryMessage();
        }
    }
    if (m_error.isEmpty())
        m_image->setPixmap(QPixmap::fromImage(m_shown));
    else
        m_image->setText(m_error);
    m_pageText->setText(tr("Seite %1 von %2").arg(m_current).arg(count));
    m_back->setEnabled(m_current > 1);
    m_next->setEnabled(m_current < count);
}

} // namespace qm
