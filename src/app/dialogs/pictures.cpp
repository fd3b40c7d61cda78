#include "pictures.h"

#include "platform/version.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qm {

namespace {

// A quill in its own coordinates: the nib at (0, 0), the feather pointing up
// (negative y), about 180 units long.
void drawQuill(QPainter &p)
{
    QPainterPath vane;
    vane.moveTo(0, -28);
    vane.cubicTo(20, -60, 26, -120, 6, -180);
    vane.cubicTo(-8, -150, -20, -90, -4, -40);
    vane.closeSubpath();

    p.setPen(QPen(QColor(0x9c, 0x87, 0x5c), 1.2));
    p.setBrush(QColor(0xf8, 0xf3, 0xe6));
    p.drawPath(vane);

    // Barbs: fine strokes from the shaft to the edges of the vane.
    p.setPen(QPen(QColor(0xd8, 0xca, 0xa8), 0.8));
    for (int y = -50; y > -165; y -= 12) {
        const double s = (y + 28.0) / -152.0; // 0 at the bottom, 1 at the top
        p.drawLine(QPointF(s * 6, y), QPointF(16 - s * 4, y - 14));
        p.drawLine(QPointF(s * 6, y), QPointF(-12 + s * 8, y - 10));
    }

    // Shaft and nib.
    p.setPen(QPen(QColor(0x6d, 0x5a, 0x36), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, -4), QPointF(6, -178));
    QPainterPath nib;
    nib.moveTo(0, 0);
    nib.lineTo(2.5, -12);
    nib.lineTo(-2.5, -12);
    nib.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2b, 0x2b, 0x33));
    p.drawPath(nib);
}

// A sheet of labels, 2 columns of 5, the first ones printed.
void drawLabelSheet(QPainter &p, const QRectF &sheet, int printed)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRect(sheet.translated(5, 6));
    p.setBrush(Qt::white);
    p.drawRect(sheet);

    const int columns = 2;
    const int rows = 5;
    const double margin = sheet.width() * 0.08;
    const double gap = sheet.width() * 0.05;
    const double w = (sheet.width() - 2 * margin - (columns - 1) * gap) / columns;
    const double h = (sheet.height() - 2 * margin - (rows - 1) * gap) / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int index = r * columns + c;
            const QRectF label(
                sheet.left() + margin + c * (w + gap), sheet.top() + margin + r * (h + gap), w, h);
            p.setPen(QPen(QColor(0x9d, 0xb4, 0xcc), 1));
            p.setBrush(index == printed ? QColor(0xfc, 0xe8, 0xa8) : QColor(0xef, 0xf4, 0xf9));
            p.drawRoundedRect(label, 4, 4);
            if (index < printed) {
                p.setPen(Qt::NoPen);
                p.setBrush(QColor(0x4a, 0x5a, 0x70));
                const double line = h / 7;
                for (int k = 0; k < 3; ++k) {
                    const double length = w * (k == 0 ? 0.62 : (k == 1 ? 0.74 : 0.48));
                    p.drawRect(QRectF(
                        label.left() + w * 0.12, label.top() + line * (1.4 + 1.8 * k), length, line * 0.7));
                }
            }
        }
    }
}

} // namespace

void drawTitlePicture(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / TitlePictureSize.width(), rect.height() / TitlePictureSize.height());
    const QRectF area(QPointF(0, 0), QSizeF(TitlePictureSize));

    QLinearGradient sky(area.topLeft(), area.bottomRight());
    sky.setColorAt(0, QColor(0x1c, 0x34, 0x57));
    sky.setColorAt(1, QColor(0x2f, 0x6d, 0x92));
    painter.fillRect(area, sky);

    drawLabelSheet(painter, QRectF(36, 40, 150, 212), 5);

    painter.save();
    // The nib rests on the next label to be written.
    painter.translate(142, 150);
    painter.rotate(28);
    painter.scale(0.85, 0.85);
    drawQuill(painter);
    painter.restore();

    QFont nameFont = painter.font();
    nameFont.setPixelSize(44);
    nameFont.setBold(true);
    painter.setFont(nameFont);
    painter.setPen(Qt::white);
    painter.drawText(QPointF(262, 132), QString::fromLatin1(kProgramName));

    QFont small = painter.font();
    small.setBold(false);
    small.setPixelSize(17);
    painter.setFont(small);
    painter.setPen(QColor(0xcf, 0xe0, 0xf0));
    painter.drawText(QPointF(264, 162),
        QCoreApplication::translate("qm", "Version %1").arg(QLatin1String(kProgramVersion)));

    small.setPixelSize(14);
    painter.setFont(small);
    painter.drawText(QRectF(264, 190, 240, 60), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
        QCoreApplication::translate("qm", "Etiketten und Formulare gestalten und drucken"));

    painter.setPen(QPen(QColor(0xfc, 0xe8, 0xa8), 2));
    painter.drawLine(QPointF(264, 176), QPointF(480, 176));

    painter.restore();
}

void drawPrinterPicture(QPainter &painter, const QRectF &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(rect.topLeft());
    painter.scale(rect.width() / PrinterPictureSize.width(), rect.height() / PrinterPictureSize.height());

    // Paper going in at the back.
    painter.setPen(QPen(QColor(0x8a, 0x96, 0xa6), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(18, 4, 28, 22));

    // The printer's body.
    QLinearGradient body(QPointF(0, 22), QPointF(0, 48));
    body.setColorAt(0, QColor(0xd5, 0xdb, 0xe3));
    body.setColorAt(1, QColor(0x93, 0x9f, 0xae));
    painter.setPen(QPen(QColor(0x4f, 0x5b, 0x6b), 1.2));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(6, 22, 52, 26), 5, 5);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x5c, 0xc0, 0x6a));
    painter.drawEllipse(QRectF(48, 28, 5, 5));
    painter.setBrush(QColor(0x3a, 0x44, 0x52));
    painter.drawRect(QRectF(14, 40, 36, 3));

    // The printed label sheet coming out at the front.
    painter.setPen(QPen(QColor(0x8a, 0x96, 0xa6), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(16, 42, 32, 20));
    painter.setPen(QPen(QColor(0x9d, 0xb4, 0xcc), 1));
    painter.setBrush(QColor(0xef, 0xf4, 0xf9));
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r)
            painter.drawRoundedRect(QRectF(19 + c * 14, 46 + r * 8, 12, 6), 1.5, 1.5);
    painter.setBrush(QColor(0xfc, 0xe8, 0xa8));
    painter.drawRoundedRect(QRectF(19, 46, 12, 6), 1.5, 1.5);

    painter.restore();
}

PictureView::PictureView(Drawer drawer, QSize size, QWidget *parent)
    : QWidget(parent)
    , m_drawer(std::move(drawer))
{
    setFixedSize(size);
}

void PictureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_drawer(painter, QRectF(rect()));
}

} // namespace qm
