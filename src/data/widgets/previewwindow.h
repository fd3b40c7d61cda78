#pragma once

#include <QDialog>
#include <QImage>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;
class QScrollArea;

namespace qm {

class PreviewPages;

// "Vorschau": the sheets of a print as they will come out, one page at a
// time, before any stock is spent. The pages are drawn by PreviewPages (the
// print's own check, layout and drawing), each only when it is shown; the
// window shows them, and in place of a page that cannot be drawn the
// message why.
class PreviewWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PreviewWindow(QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Takes the pages and shows the first.
    void setPages(std::unique_ptr<PreviewPages> pages);
    const PreviewPages *pages() const { return m_pages.get(); }
    int pageCount() const;
    // 1 .. pageCount(); 0 without pages.
    int currentPage() const { return m_current; }
    // The page shown; null when it could not be drawn.
    const QImage &shownImage() const { return m_shown; }
    // Why the current page could not be drawn; empty when it is shown.
    const QString &pageError() const { return m_error; }

    // "<< &Zurück" and "&Weiter >>": the previous and the next page.
    void Button_ZurueckClick();
    void Button_WeiterClick();

private:
    void showPage(int page);

    std::unique_ptr<PreviewPages> m_pages;
    QImage m_shown;
    QString m_error;
    int m_current = 0;
    QScrollArea *m_area = nullptr;
    QLabel *m_image = nullptr;
    QLabel *m_pageText = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};

} // namespace qm
