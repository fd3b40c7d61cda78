#include "modeicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qm {
namespace {

const QColor Ink(40, 40, 60);
const QColor Sheet(250, 250, 245);
const QColor Label(255, 236, 170);
const QColor Table(70, 120, 190);

// A sheet with two columns of labels, in a 32 x 32 box at (x, y).
void drawSheet(QPainter &p, qreal x, qreal y, qreal scale = 1.0)
{
    p.save();
    p.translate(x, y);
    p.scale(scale, scale);
    p.setPen(QPen(Ink, 1));
    p.setBrush(Sheet);
    p.drawRect(QRectF(4.5, 2.5, 20, 27));
    p.setBrush(Label);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 2; ++col)
            p.drawRoundedRect(QRectF(6.5 + col * 9, 4.5 + row * 8.5, 7, 6.5), 1.5, 1.5);
    p.restore();
}

// A table as a cylinder.
void drawTable(QPainter &p, qreal x, qreal y)
{
    p.save();
    p.translate(x, y);
    p.setPen(QPen(Ink, 1));
    p.setBrush(Table);
    QPainterPath body;
    body.moveTo(0.5, 3.5);
    body.lineTo(0.5, 14.5);
    body.arcTo(QRectF(0.5, 11.5, 14, 6), 180, 180);
    body.lineTo(14.5, 3.5);
    p.drawPath(body);
    p.setBrush(Table.lighter(140));
    p.drawEllipse(QRectF(0.5, 0.5, 14, 6));
    p.setPen(QPen(Table.lighter(170), 1));
    p.drawArc(QRectF(0.5, 5.5, 14, 6), 180 * 16, 180 * 16);
    p.restore();
}

void drawPencil(QPainter &p, qreal x, qreal y)
{
    p.save();
    p.translate(x, y);
    p.rotate(45);
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(230, 170, 40));
    p.drawRect(QRectF(-2, -9, 4, 12));
    p.setBrush(QColor(240, 210, 170));
    QPolygonF tip { { -2, 3 }, { 2, 3 }, { 0, 7 } };
    p.drawPolygon(tip);
    p.setBrush(QColor(220, 110, 110));
    p.drawRect(QRectF(-2, -12, 4, 3));
    p.restore();
}

void drawArrow(QPainter &p, qreal x, qreal y)
{
    p.save();
    p.setPen(QPen(Ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(x, y), QPointF(x + 7, y));
    p.drawLine(QPointF(x + 4, y - 3), QPointF(x + 7, y));
    p.drawLine(QPointF(x + 4, y + 3), QPointF(x + 7, y));
    p.restore();
}

QPixmap picture(int mode, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    switch (mode) {
    case 1:
        drawSheet(p, 0, 0);
        drawPencil(p, 25, 21);
        break;
    case 2:
        drawTable(p, 0, 8);
        drawArrow(p, 14, 16);
        drawSheet(p, 13, 6, 0.75);
        break;
    case 3:
        drawTable(p, 4, 8);
        drawPencil(p, 24, 19);
        break;
    default:
        p.setPen(QPen(Ink, 1));
        p.setBrush(Label);
        p.drawRoundedRect(QRectF(2.5, 8.5, 24, 15), 3, 3);
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(QPointF(6, 13), QPointF(18, 13));
        p.drawLine(QPointF(6, 17.5), QPointF(14, 17.5));
        drawPencil(p, 25, 19);
        break;
    }
    return pixmap;
}

} // namespace

QIcon workingModeIcon(int mode)
{
    QIcon icon;
    for (int size : { 16, 24, 32, 48, 64 })
        icon.addPixmap(picture(mode, size));
    return icon;
}

} // namespace qm
