#include "render/VectorSurface.h"

#include "render/LabelText.h"
#include "render/SegmentClip.h"

#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {

QColor colorOf(quint32 color)
{
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

bool finite(const QPointF& p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Text, circles and dots this far off the view cannot show; their numbers stay printable.
constexpr double FarAway = 1e6;

bool near(const QPointF& p)
{
    return std::fabs(p.x()) < FarAway && std::fabs(p.y()) < FarAway;
}

} // namespace

VectorSurface::VectorSurface(int left, int width, int height)
{
    setGeometry(left, width, height);
}

void VectorSurface::setGeometry(int left, int width, int height)
{
    left_ = left;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    updateMapping();
}

void VectorSurface::mapScale()
{
    factorX_ = width_ / (double(scaleX2_) - scaleX1_);
    factorY_ = height_ / (double(scaleY2_) - scaleY1_);
}

QPointF VectorSurface::toView(float x, float y) const
{
    return {(double(x) - scaleX1_) * factorX_ + 0.5, (double(y) - scaleY1_) * factorY_ + 0.5};
}

void VectorSurface::erase()
{
    shapes_.clear();
    labels_.clear();
    open_ = false;
    currentX_ = currentY_ = 0;
    printY_ = 0;
}

void VectorSurface::setBackColor(quint32 color)
{
    backColor_ = color & 0xFFFFFF;
    erase();
}

void VectorSurface::clearPicture()
{
    picture_ = QImage();
    erase();
}

void VectorSurface::setPicture(const QImage& picture)
{
    picture_ = picture;
    erase();
}

void VectorSurface::line(float x1, float y1, float x2, float y2, quint32 color)
{
    currentX_ = x2;
    currentY_ = y2;
    const QPointF a = toView(x1, y1), b = toView(x2, y2);
    if (!finite(a) || !finite(b)) {
        closeOpenShape();
        return;
    }
    // Cut at a view's size beyond each edge; the view's own clip does the rest.
    double ax = a.x(), ay = a.y(), bx = b.x(), by = b.y();
    const double mx = std::max(width_, 1), my = std::max(height_, 1);
    if (!SegmentClip::clip(ax, ay, bx, by, -mx, -my, 2 * mx, 2 * my)) {
        closeOpenShape();
        return;
    }
    color &= 0xFFFFFF;
    const bool dotted = drawStyle_ == Dotted;
    const bool fromLastEnd = open_ && ax == a.x() && ay == a.y() && x1 == openX_ && y1 == openY_ &&
                             shapes_.back().color == color;
    Shape* last = fromLastEnd ? &shapes_.back() : nullptr;
    if (last && last->kind == Shape::Polyline && last->dotted == dotted) {
        last->points.append({bx, by});
    } else {
        // A point followed by a solid line from it: the line's square end covers the point.
        if (last && last->kind == Shape::Dots && !dotted) {
            last->points.removeLast();
            if (last->points.isEmpty()) shapes_.pop_back();
        }
        Shape s;
        s.kind = Shape::Polyline;
        s.color = color;
        s.dotted = dotted;
        s.points = {QPointF(ax, ay), QPointF(bx, by)};
        shapes_.push_back(std::move(s));
    }
    open_ = bx == b.x() && by == b.y();
    openX_ = x2;
    openY_ = y2;
}

void VectorSurface::box(float x1, float y1, float x2, float y2, quint32 color)
{
    closeOpenShape();
    line(x1, y1, x2, y1, color);
    line(x2, y1, x2, y2, color);
    line(x2, y2, x1, y2, color);
    line(x1, y2, x1, y1, color);
    closeOpenShape();
    currentX_ = x2;
    currentY_ = y2;
}

void VectorSurface::lineRelative(float x1, float y1, float dx, float dy, quint32 color)
{
    line(x1, y1, x1 + dx, y1 + dy, color);
}

void VectorSurface::lineTo(float x2, float y2, quint32 color)
{
    line(currentX_, currentY_, x2, y2, color);
}

void VectorSurface::pset(float x, float y, quint32 color)
{
    currentX_ = x;
    currentY_ = y;
    const QPointF p = toView(x, y);
    if (!finite(p) || p.x() < 0 || p.y() < 0 || p.x() >= width_ || p.y() >= height_) {
        closeOpenShape();
        return;
    }
    color &= 0xFFFFFF;
    if (!shapes_.empty() && shapes_.back().kind == Shape::Dots && shapes_.back().color == color) {
        shapes_.back().points.append(p);
    } else {
        Shape s;
        s.kind = Shape::Dots;
        s.color = color;
        s.points = {p};
        shapes_.push_back(std::move(s));
    }
    open_ = true;
    openX_ = x;
    openY_ = y;
}

void VectorSurface::circle(float x, float y, float radius, quint32 color)
{
    closeOpenShape();
    currentX_ = x;
    currentY_ = y;
    const QPointF centre = toView(x, y);
    const double r = std::fabs(double(radius) * factorX_);
    if (!finite(centre) || !near(centre) || !(r < FarAway)) return;
    Shape s;
    s.kind = Shape::Circle;
    s.color = color & 0xFFFFFF;
    s.points = {centre};
    s.radius = r;
    s.filled = fillStyle_ == FillSolid;
    s.fillColor = fillColor_ & 0xFFFFFF;
    shapes_.push_back(std::move(s));
}

void VectorSurface::polygon(const QPolygonF& points, quint32 color, std::span<const float>)
{
    closeOpenShape();
    Shape s;
    s.kind = Shape::Polygon;
    s.color = color & 0xFFFFFF;
    for (const QPointF& p : points) {
        const QPointF at = toView(float(p.x()), float(p.y()));
        if (!finite(at) || !near(at)) return;
        s.points.append(at);
    }
    if (s.points.size() < 3 || !s.points.boundingRect().intersects(QRectF(0, 0, width_, height_)))
        return;
    shapes_.push_back(std::move(s));
}

void VectorSurface::setFont(const QString& family, qreal pointSize, bool bold)
{
    font_ = QFont(family);
    // Points as an image counts them, 96 to the inch.
    font_.setPixelSize(std::max(1, int(std::lround(pointSize * 96 / 72))));
    font_.setBold(bold);
}

void VectorSurface::printLine(const QString& text)
{
    closeOpenShape();
    const QFontMetricsF metrics(font_);
    if (!text.isEmpty()) {
        Shape s;
        s.kind = Shape::Text;
        s.color = foreColor_ & 0xFFFFFF;
        s.points = {QPointF(0, printY_ + metrics.ascent())};
        s.text = text;
        s.font = font_;
        shapes_.push_back(std::move(s));
    }
    printY_ += metrics.height();
}

void VectorSurface::label(float x, float y, const QString& text, quint32 color, Qt::Alignment align)
{
    closeOpenShape();
    const QPointF at = toView(x, y);
    if (text.isEmpty() || !finite(at) || !near(at)) return;
    Shape s;
    s.kind = Shape::Text;
    s.color = color & 0xFFFFFF;
    s.font = LabelText::font(LabelPixelSize);
    LabelPlacement::Placed placed;
    if (!labels_.place(at, text, s.font, align, QSizeF(width_, height_), 1, placed)) return;
    s.points = {placed.origin};
    s.knockout = placed.box;
    s.fillColor = backColor_;
    s.text = text;
    shapes_.push_back(std::move(s));
}

void VectorSurface::paint(QPainter& painter, const QRectF& target) const
{
    if (width_ == 0 || height_ == 0 || target.isEmpty()) return;
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    painter.translate(target.topLeft());
    painter.scale(target.width() / width_, target.height() / height_);
    painter.fillRect(QRectF(0, 0, width_, height_), colorOf(backColor_));
    if (!picture_.isNull()) painter.drawImage(QPointF(0, 0), picture_);
    for (const Shape& s : shapes_) {
        const QColor color = colorOf(s.color);
        switch (s.kind) {
        case Shape::Polyline: {
            QPen pen(color, 1.0, Qt::SolidLine, s.dotted ? Qt::FlatCap : Qt::SquareCap,
                     Qt::MiterJoin);
            if (s.dotted) pen.setDashPattern({1, 1});
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPolyline(s.points);
            break;
        }
        case Shape::Dots:
            for (const QPointF& p : s.points)
                painter.fillRect(QRectF(p.x() - 0.5, p.y() - 0.5, 1, 1), color);
            break;
        case Shape::Circle:
            painter.setPen(QPen(color, 1.0));
            painter.setBrush(s.filled ? QBrush(colorOf(s.fillColor)) : QBrush(Qt::NoBrush));
            painter.drawEllipse(s.points.first(), s.radius, s.radius);
            break;
        case Shape::Text:
            if (!s.knockout.isEmpty()) painter.fillRect(s.knockout, colorOf(s.fillColor));
            painter.setPen(color);
            painter.setFont(s.font);
            painter.drawText(s.points.first(), s.text);
            break;
        case Shape::Polygon:
            // A hairline of the fill's colour closes the seams that smoothing leaves between
            // neighbouring cells.
            painter.setPen(QPen(color, 0.5));
            painter.setBrush(color);
            painter.drawPolygon(s.points);
            break;
        }
    }
    painter.restore();
}

QImage VectorSurface::image() const
{
    if (width_ == 0 || height_ == 0) return QImage();
    QImage out(width_, height_, QImage::Format_RGB32);
    QPainter painter(&out);
    paint(painter, QRectF(0, 0, width_, height_));
    return out;
}
