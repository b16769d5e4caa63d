#include "render/LabelText.h"

#include <QFontMetricsF>
#include <QImage>
#include <algorithm>

namespace LabelText {

QFont font(int pixelSize)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(std::max(pixelSize, 1));
    return f;
}

namespace {
QFontMetricsF metricsOf(const QFont& font)
{
    // Measured as on an image, so that every surface places the text alike.
    static const QImage reference(1, 1, QImage::Format_RGB32);
    return QFontMetricsF(font, &reference);
}
} // namespace

QRectF box(QPointF at, const QString& text, const QFont& font, Qt::Alignment align)
{
    const QFontMetricsF metrics = metricsOf(font);
    const double width = metrics.horizontalAdvance(text);
    const double height = metrics.ascent() + metrics.descent();
    double left = at.x() - width / 2;
    if (align & Qt::AlignLeft) left = at.x();
    if (align & Qt::AlignRight) left = at.x() - width;
    double top = at.y() - height / 2;
    if (align & Qt::AlignTop) top = at.y();
    if (align & Qt::AlignBottom) top = at.y() - height;
    return {left, top, width, height};
}

QPointF origin(const QRectF& box, const QFont& font)
{
    return {box.left(), box.top() + metricsOf(font).ascent()};
}

} // namespace LabelText
