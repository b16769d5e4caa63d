#include "render/SvgDocument.h"

#include "render/SvgSurface.h"

#include <algorithm>

SvgDocument::SvgDocument(double scale) : scale_(scale) {}

void SvgDocument::addView(const SvgSurface& view, double x)
{
    ++views_;
    body_ += view.group(QStringLiteral("view%1").arg(views_), x);
    width_ = std::max(width_, x + view.width());
    height_ = std::max(height_, double(view.height()));
}

QByteArray SvgDocument::toSvg() const
{
    const QByteArray w = QByteArray::number(width_), h = QByteArray::number(height_);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\""
           " version=\"1.1\" width=\"" +
           QByteArray::number(width_ * scale_) + "\" height=\"" +
           QByteArray::number(height_ * scale_) + "\" viewBox=\"0 0 " + w + ' ' + h + "\">\n" +
           body_ + "</svg>\n";
}
