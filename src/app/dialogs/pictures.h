#pragma once

#include <QWidget>

#include <functional>

class QPainter;

namespace qm {

// The pictures of the title window and the progress window, drawn in code so
// that they scale cleanly and need no image files. Each fills the rectangle.
void drawTitlePicture(QPainter &painter, const QRectF &rect);
void drawPrinterPicture(QPainter &painter, const QRectF &rect);

// Design sizes in logical pixels; the pictures keep their proportions best
// at these sizes or multiples of them.
inline constexpr QSize TitlePictureSize { 520, 300 };
inline constexpr QSize PrinterPictureSize { 64, 64 };

// A widget of fixed size that shows one of the pictures.
class PictureView : public QWidget
{
    Q_OBJECT

public:
    using Drawer = std::function<void(QPainter &, const QRectF &)>;

    PictureView(Drawer drawer, QSize size, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Drawer m_drawer;
};

} // namespace qm
