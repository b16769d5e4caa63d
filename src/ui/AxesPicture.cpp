#include "ui/AxesPicture.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {
const QPointF Origin(200, 146);

void drawAxis(QPainter& p, QPointF tip, const QColor& colour, const QString& letter,
              QPointF letterOffset)
{
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Origin, tip);

    // A filled head along the arrow's direction.
    const QPointF d = tip - Origin;
    const qreal angle = qAtan2(d.y(), d.x());
    const qreal length = 12, spread = qDegreesToRadians(22.0);
    const QPointF a = tip - QPointF(length * qCos(angle - spread), length * qSin(angle - spread));
    const QPointF b = tip - QPointF(length * qCos(angle + spread), length * qSin(angle + spread));
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(a);
    head.lineTo(b);
    head.closeSubpath();
    p.setPen(QPen(colour, 1));
    p.setBrush(colour);
    p.drawPath(head);
    p.setBrush(Qt::NoBrush);

    p.drawText(tip + letterOffset, letter);
}
} // namespace

QImage AxesPicture::make()
{
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Times New Roman"), 16, QFont::Bold);
    font.setStyleHint(QFont::Serif);
    p.setFont(font);

    drawAxis(p, QPointF(40, 255), QColor(255, 0, 0), QStringLiteral("X"), QPointF(-22, 6));
    drawAxis(p, QPointF(365, 146), QColor(0, 0, 255), QStringLiteral("Y"), QPointF(8, 7));
    drawAxis(p, QPointF(200, 12), QColor(0, 107, 107), QStringLiteral("Z"), QPointF(10, 14));
    p.end();
    return image;
}

QImage AxesPicture::icon()
{
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    const QPoint o(7, 8);
    p.setPen(QPen(QColor(255, 0, 0), 2));
    p.drawLine(o, QPoint(1, 14));
    p.setPen(QPen(QColor(0, 0, 255), 2));
    p.drawLine(o, QPoint(15, 8));
    p.setPen(QPen(QColor(0, 107, 107), 2));
    p.drawLine(o, QPoint(7, 1));
    p.end();
    return image;
}
