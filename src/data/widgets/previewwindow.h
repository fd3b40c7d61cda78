#pragma once

#include <QDialog>
#include <QImage>
#include <QList>

class QLabel;
class QPushButton;
class QScrollArea;

namespace qm {

// "Vorschau": the sheets of a print as they will come out, one page at a
// time, before any stock is spent. The pages are drawn by the caller (the
// print run's layout and drawing); the window only shows them.
class PreviewWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget *parent = nullptr);

    // Takes the pages and shows the first.
    void setPages(QList<QImage> pages);
    int pageCount() const { return int(m_pages.size()); }
    // 1 .. pageCount(); 0 without pages.
    int currentPage() const { return m_current; }
    const QImage &shownImage() const { return m_shown; }

    // "<< &Zurück" and "&Weiter >>": the previous and the next page.
    void Button_ZurueckClick();
    void Button_WeiterClick();

private:
    void showPage(int page);

    QList<QImage> m_pages;
    QImage m_shown;
    int m_current = 0;
    QScrollArea *m_area = nullptr;
    QLabel *m_image = nullptr;
    QLabel *m_pageText = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};

} // namespace qm
