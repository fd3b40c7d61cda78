#include "editoricons.h"

#include "designs/elementwriter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qm {
namespace {

constexpr int Size = 22;

QPixmap blank()
{
    QPixmap p(Size, Size);
    p.fill(Qt::transparent);
    return p;
}

void letter(QPainter &p, const QString &text, bool serif)
{
    QFont f(serif ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans"));
    f.setPixelSize(16);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, Size, Size), Qt::AlignCenter, text);
}

} // namespace

QIcon editorToolIcon(int tool)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen pen(QColor(20, 20, 20), 1.6);
    p.setPen(pen);
    switch (tool) {
    case ToolMove: {
        QPainterPath arrow;
        arrow.moveTo(6, 3);
        arrow.lineTo(6, 18);
        arrow.lineTo(10, 14);
        arrow.lineTo(13, 20);
        arrow.lineTo(15, 19);
        arrow.lineTo(12, 13);
        arrow.lineTo(17, 13);
        arrow.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(arrow);
        break;
    }
    case ToolChange:
        p.drawRect(QRectF(4.5, 6.5, 13, 9));
        p.setBrush(QColor(0, 160, 170));
        p.drawRect(QRectF(2, 4, 5, 5));
        p.drawRect(QRectF(15, 13, 5, 5));
        break;
    case ToolLine:
        p.drawLine(QPointF(4, 18), QPointF(18, 4));
        break;
    case ToolRectangle:
        p.drawRect(QRectF(3.5, 5.5, 15, 11));
        break;
    case ToolRoundRectangle:
        p.drawRoundedRect(QRectF(3.5, 5.5, 15, 11), 4, 4);
        break;
    case ToolEllipse:
        p.drawEllipse(QRectF(3.5, 5.5, 15, 11));
        break;
    case ToolText:
        letter(p, QStringLiteral("T"), true);
        break;
    case ToolField:
        letter(p, QStringLiteral("[F]"), false);
        break;
    case ToolSerial:
        letter(p, QStringLiteral("#"), false);
        break;
    case ToolGraphic:
        p.setBrush(QColor(200, 230, 255));
        p.drawRect(QRectF(3.5, 4.5, 15, 13));
        p.setBrush(QColor(60, 140, 60));
        p.drawPolygon(
            QPolygonF({ QPointF(4, 17), QPointF(9, 10), QPointF(13, 15), QPointF(15, 12), QPointF(18, 17) }));
        p.setBrush(QColor(240, 200, 40));
        p.drawEllipse(QPointF(14, 8), 2, 2);
        break;
    case ToolBarcode: {
        // Bars of two widths.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 20, 20));
        const double bars[][2]
            = { { 3, 1.5 }, { 5.5, 1 }, { 7.5, 2.5 }, { 11, 1 }, { 13, 1.5 }, { 15.5, 1 }, { 17.5, 1.5 } };
        for (const auto &bar : bars)
            p.drawRect(QRectF(bar[0], 4, bar[1], 14));
        break;
    }
    default:
        break;
    }
    return QIcon(pixmap);
}

QIcon lineStyleIcon(int style)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    QPen pen(Qt::black, style == PenThick ? 3 : 1);
    if (style == PenDashed)
        pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawLine(3, 11, 19, 11);
    return QIcon(pixmap);
}

QIcon fontIcon()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(20, 20, 120));
    letter(p, QStringLiteral("A"), true);
    return QIcon(pixmap);
}

} // namespace qm
