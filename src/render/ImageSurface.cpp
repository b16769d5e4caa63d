#include "render/ImageSurface.h"

#include "render/LabelText.h"
#include "render/SegmentClip.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

// The pixel of a clipped coordinate, which lies in [-0.5, size - 0.5]: truncation rounds there.
int toPixel(double c, int size)
{
    return std::min(std::max(int(c + 0.5), 0), size - 1);
}

// Bresenham's walk over the pixels of a clipped line, both ends included: visit(n, x, y) for
// the n-th pixel.
template <typename Visit> void walkPixels(int ix, int iy, int ex, int ey, Visit visit)
{
    const int dx = std::abs(ex - ix), dy = -std::abs(ey - iy);
    const int sx = ix < ex ? 1 : -1, sy = iy < ey ? 1 : -1;
    int err = dx + dy;
    for (int n = 0;; ++n) {
        visit(n, ix, iy);
        if (ix == ex && iy == ey) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            ix += sx;
        }
        if (e2 <= dx) {
            err += dx;
            iy += sy;
        }
    }
}

} // namespace

ImageSurface::ImageSurface(int left, int width, int height, double pixelScale)
    : pixelScale_(std::clamp(pixelScale, 1.0, MaxPixelScale)),
      lineWidth_(std::max(1, int(std::lround(pixelScale_))))
{
    left_ = left;
    resizeImage(width, height);
    updateMapping();
    fillBackground();
}

void ImageSurface::resizeImage(int width, int height)
{
    wideEnd_.valid = false;
    depth_.clear();
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    const QSize size = outputSize_.isValid() ? outputSize_
                                             : QSize(int(std::lround(pixelScale_ * width_)),
                                                     int(std::lround(pixelScale_ * height_)));
    image_ = QImage(size, QImage::Format_RGB32);
}

void ImageSurface::setOutputSize(QSize pixels, double scale, double weight)
{
    setPixelScale(scale);
    outputSize_ = pixels.expandedTo(QSize(0, 0));
    lineWidth_ = std::max(1, int(std::lround(pixelScale_ * weight)));
    resizeImage(width_, height_);
    updateMapping();
    fillBackground();
}

void ImageSurface::setPixelScale(double scale)
{
    endPainter();
    outputSize_ = QSize();
    pixelScale_ = std::clamp(scale, 1.0, MaxPixelScale);
    lineWidth_ = std::max(1, int(std::lround(pixelScale_)));
    resizeImage(width_, height_);
    updateMapping();
    fillBackground();
}

ImageSurface::~ImageSurface() = default;

QRgb ImageSurface::toRgb(quint32 color)
{
    return qRgb(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

quint32 ImageSurface::pixelColor(int px, int py) const
{
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return 0;
    endPainter();
    const QRgb c = image_.pixel(px, py);
    return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16;
}

void ImageSurface::setGeometry(int left, int width, int height)
{
    left_ = left;
    if (std::max(width, 0) != width_ || std::max(height, 0) != height_) {
        endPainter();
        const QImage old = image_;
        resizeImage(width, height);
        image_.fill(toRgb(backColor_));
        if (!image_.isNull() && !old.isNull()) {
            QPainter p(&image_);
            p.drawImage(0, 0, old);
        }
    }
    updateMapping();
}

void ImageSurface::mapScale()
{
    // A scale of no extent maps every point to infinity, so nothing is drawn.
    factorX_ = image_.width() / (double(scaleX2_) - scaleX1_);
    factorY_ = image_.height() / (double(scaleY2_) - scaleY1_);
    // Window pixel i covers image pixels from K i to K (i + 1) - 1: its centre lies at
    // K i + (K - 1) / 2. Nothing moves at scale 1.
    offsetX_ = width_ > 0 ? (double(image_.width()) / width_ - 1) / 2 : 0;
    offsetY_ = height_ > 0 ? (double(image_.height()) / height_ - 1) / 2 : 0;
}

namespace {
// The pixel of a pixel-space coordinate, far outside the image (but defined) when it is huge
// or not a number.
int nearestPixel(double c)
{
    const double p = std::floor(c + 0.5);
    return p >= -1e9 && p <= 1e9 ? int(p) : -1000000000;
}
} // namespace

int ImageSurface::pixelX(float x) const
{
    return nearestPixel(toImageX(x));
}

int ImageSurface::pixelY(float y) const
{
    return nearestPixel(toImageY(y));
}

void ImageSurface::fillBackground()
{
    labels_.clear();
    endPainter();
    wideEnd_.valid = false;
    image_.fill(toRgb(backColor_));
    depth_.clear();
    if (!picture_.isNull() && !image_.isNull()) {
        QPainter p(&image_);
        scaleToWindow(p);
        p.drawImage(0, 0, picture_);
    }
    currentX_ = currentY_ = 0;
    printY_ = 0;
}

void ImageSurface::setBackColor(quint32 color)
{
    backColor_ = color & 0xFFFFFF;
    fillBackground();
}

void ImageSurface::clearPicture()
{
    picture_ = QImage();
    fillBackground();
}

void ImageSurface::setPicture(const QImage& picture)
{
    picture_ = picture;
    fillBackground();
}

void ImageSurface::setRaster(Raster raster)
{
    endPainter();
    raster_ = raster;
}

void ImageSurface::endPainter() const
{
    painter_.reset();
}

QPainter& ImageSurface::painter()
{
    wideEnd_.valid = false;
    if (!painter_) painter_ = std::make_unique<QPainter>(&image_);
    return *painter_;
}

QImage ImageSurface::image() const
{
    endPainter();
    return image_;
}

void ImageSurface::drawSegment(float x1, float y1, float x2, float y2, quint32 color)
{
    drawMapped(toImageX(x1), toImageY(y1), toImageX(x2), toImageY(y2), toRgb(color));
}

ImageSurface::Pixels ImageSurface::pixels()
{
    if (image_.isNull()) return {};
    return {image_.bits(), image_.bytesPerLine(), image_.width(), image_.height()};
}

void ImageSurface::drawMapped(double px0, double py0, double px1, double py1, QRgb rgb)
{
    if (raster_ == Raster::Direct) {
        drawMapped(pixels(), px0, py0, px1, py1, rgb);
        return;
    }
    const Pixels size{nullptr, 0, image_.width(), image_.height()};
    drawMapped(size, px0, py0, px1, py1, rgb);
}

void ImageSurface::drawMapped(const Pixels& to, double px0, double py0, double px1, double py1,
                              QRgb rgb)
{
    if (!std::isfinite(px0) || !std::isfinite(py0) || !std::isfinite(px1) || !std::isfinite(py1))
        return;
    const int w = to.width, h = to.height;
    if (w == 0 || h == 0) return;
    const double xmax = w - 0.5, ymax = h - 0.5;
    const auto onImage = [xmax, ymax](double px, double py) {
        return px >= -0.5 && px < xmax && py >= -0.5 && py < ymax;
    };
    const bool inside = onImage(px0, py0) && onImage(px1, py1);
    if (!inside && !SegmentClip::clip(px0, py0, px1, py1, -0.5, -0.5, xmax, ymax)) return;
    if (raster_ == Raster::Direct && lineWidth_ > 1)
        rasterWideLine(to, px0, py0, px1, py1, rgb);
    else if (raster_ == Raster::Direct)
        rasterLine(to, px0, py0, px1, py1, rgb);
    else
        painterLine(px0, py0, px1, py1, rgb);
}

// Each point is mapped once. A solid segment whose two ends fall on the pixel where the one
// before ended, on the image, would set only pixels already set (at any line width: the wide
// walk skips the square it ended on), so it costs nothing more. A dotted segment restarts
// its pattern and may set that pixel anew: those go one by one.
void ImageSurface::polyline(const float* x, const float* y, int n, quint32 color)
{
    if (n < 2) return;
    if (raster_ != Raster::Direct || drawStyle_ == Dotted) {
        DrawingSurface::polyline(x, y, n, color);
        return;
    }
    endPainter();
    const QRgb rgb = toRgb(color);
    const double xmax = image_.width() - 0.5, ymax = image_.height() - 0.5;
    auto onImage = [&](double px, double py) {
        return px >= -0.5 && px < xmax && py >= -0.5 && py < ymax;
    };
    const Pixels to = pixels();
    uchar* const bits = to.bits;
    const qsizetype bpl = to.bytesPerLine;
    double px0 = toImageX(x[0]), py0 = toImageY(y[0]);
    bool on0 = onImage(px0, py0);
    bool ended = false; // the last segment ended on the image, on (endX, endY)
    int endX = 0, endY = 0;
    for (int i = 1; i < n; ++i) {
        const double px1 = toImageX(x[i]), py1 = toImageY(y[i]);
        const bool on = onImage(px1, py1);
        const int ix = on ? int(px1 + 0.5) : 0, iy = on ? int(py1 + 0.5) : 0;
        // While `ended`, the start point lies on (endX, endY) too.
        if (!(ended && on && ix == endX && iy == endY)) {
            if (on0 && on && lineWidth_ == 1) // rasterLine's walk, nothing to clip
                walkPixels(int(px0 + 0.5), int(py0 + 0.5), ix, iy, [&](int, int px, int py) {
                    reinterpret_cast<QRgb*>(bits + py * bpl)[px] = rgb;
                });
            else
                drawMapped(to, px0, py0, px1, py1, rgb);
            ended = on && std::isfinite(px0) && std::isfinite(py0);
            endX = ix;
            endY = iy;
        }
        px0 = px1;
        py0 = py1;
        on0 = on;
    }
    currentX_ = x[n - 1];
    currentY_ = y[n - 1];
}

template <typename Visit>
void ImageSurface::walkLine(const Pixels& on, double x0, double y0, double x1, double y1,
                            Visit visit)
{
    const int w = on.width, h = on.height;
    walkPixels(toPixel(x0, w), toPixel(y0, h), toPixel(x1, w), toPixel(y1, h), visit);
}

void ImageSurface::rasterLine(const Pixels& to, double x0, double y0, double x1, double y1,
                              QRgb rgb)
{
    const bool dotted = drawStyle_ == Dotted;
    walkLine(to, x0, y0, x1, y1, [&](int n, int x, int y) {
        if (!dotted || (n & 1) == 0)
            reinterpret_cast<QRgb*>(to.bits + y * to.bytesPerLine)[x] = rgb;
    });
}

void ImageSurface::fillBlock(int px, int py, QRgb rgb)
{
    const int x = px - lineWidth_ / 2, y = py - lineWidth_ / 2;
    fillPixels(pixels(), x, y, x + lineWidth_, y + lineWidth_, rgb);
}

// The one-pixel walk with a square brush of the line width at each step; a dotted line
// alternates as many steps on and off. A solid line paints only what each step of the brush
// adds (a column, a row or both), and skips its first square when the last wide line ended
// there in the same colour with nothing drawn since, as each segment of a mesh line does.
void ImageSurface::rasterWideLine(const Pixels& to, double x0, double y0, double x1, double y1,
                                  QRgb rgb)
{
    const int w = lineWidth_;
    if (drawStyle_ == Dotted) {
        walkLine(to, x0, y0, x1, y1, [&](int n, int x, int y) {
            if (((n / w) & 1) == 0) fillBlock(x, y, rgb);
        });
        wideEnd_.valid = false;
        return;
    }
    int lastX = 0, lastY = 0;
    walkLine(to, x0, y0, x1, y1, [&](int n, int x, int y) {
        const int bx = x - w / 2, by = y - w / 2;
        if (n == 0) {
            if (!wideEnd_.valid || x != wideEnd_.x || y != wideEnd_.y || rgb != wideEnd_.rgb)
                fillPixels(to, bx, by, bx + w, by + w, rgb);
        } else {
            if (x != lastX) {
                const int column = x > lastX ? bx + w - 1 : bx;
                fillPixels(to, column, by, column + 1, by + w, rgb);
            }
            if (y != lastY) {
                const int row = y > lastY ? by + w - 1 : by;
                fillPixels(to, bx, row, bx + w, row + 1, rgb);
            }
        }
        lastX = x;
        lastY = y;
    });
    wideEnd_ = {true, lastX, lastY, rgb};
}

void ImageSurface::painterLine(double x0, double y0, double x1, double y1, QRgb rgb)
{
    const int w = image_.width(), h = image_.height();
    QPainter& p = painter();
    QPen pen(QColor::fromRgb(rgb), lineWidth_ > 1 ? lineWidth_ : 0);
    if (drawStyle_ == Dotted) pen.setDashPattern({1, 1});
    if (p.pen() != pen) p.setPen(pen);
    const QPoint a(toPixel(x0, w), toPixel(y0, h)), b(toPixel(x1, w), toPixel(y1, h));
    if (a == b)
        p.drawPoint(a);
    else
        p.drawLine(a, b);
}

void ImageSurface::line(float x1, float y1, float x2, float y2, quint32 color)
{
    if (raster_ == Raster::Direct) endPainter();
    drawSegment(x1, y1, x2, y2, color);
    currentX_ = x2;
    currentY_ = y2;
}

void ImageSurface::box(float x1, float y1, float x2, float y2, quint32 color)
{
    if (raster_ == Raster::Direct) endPainter();
    drawSegment(x1, y1, x2, y1, color);
    drawSegment(x2, y1, x2, y2, color);
    drawSegment(x2, y2, x1, y2, color);
    drawSegment(x1, y2, x1, y1, color);
    currentX_ = x2;
    currentY_ = y2;
}

void ImageSurface::lineRelative(float x1, float y1, float dx, float dy, quint32 color)
{
    line(x1, y1, x1 + dx, y1 + dy, color);
}

void ImageSurface::lineTo(float x2, float y2, quint32 color)
{
    line(currentX_, currentY_, x2, y2, color);
}

void ImageSurface::pset(float x, float y, quint32 color)
{
    currentX_ = x;
    currentY_ = y;
    wideEnd_.valid = false;
    const int px = pixelX(x), py = pixelY(y);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return;
    if (raster_ == Raster::Painter) {
        QPainter& p = painter();
        p.setPen(QPen(QColor::fromRgb(toRgb(color)), lineWidth_ > 1 ? lineWidth_ : 0));
        p.drawPoint(px, py);
        return;
    }
    endPainter();
    if (lineWidth_ > 1)
        fillBlock(px, py, toRgb(color));
    else
        reinterpret_cast<QRgb*>(image_.scanLine(py))[px] = toRgb(color);
}

void ImageSurface::circle(float x, float y, float radius, quint32 color)
{
    currentX_ = x;
    currentY_ = y;
    wideEnd_.valid = false;
    const double cx = std::floor(toImageX(x) + 0.5);
    const double cy = std::floor(toImageY(y) + 0.5);
    const double r = std::floor(std::fabs(double(radius) * factorX_) + 0.5);
    const int w = image_.width(), h = image_.height();
    // A circle that cannot touch the view, or one too large to trace, draws nothing.
    constexpr double limit = 1e6;
    if (image_.isNull() || !std::isfinite(cx) || !std::isfinite(cy) || !(r <= limit) ||
        cx + r < 0 || cy + r < 0 || cx - r >= w || cy - r >= h)
        return;
    endPainter();
    const int xc = int(cx), yc = int(cy), rr = int(r);

    // Midpoint circle: the outline's half width on each row from -rr to rr.
    std::vector<int> half(std::size_t(2 * rr + 1), 0);
    std::vector<std::pair<int, int>> outline;
    for (int px = rr, py = 0, err = 1 - rr; px >= py;) {
        for (const auto& [dx, dy] : {std::pair{px, py}, std::pair{py, px}}) {
            half[std::size_t(rr + dy)] = std::max(half[std::size_t(rr + dy)], dx);
            half[std::size_t(rr - dy)] = std::max(half[std::size_t(rr - dy)], dx);
            outline.insert(outline.end(), {{dx, dy}, {-dx, dy}, {dx, -dy}, {-dx, -dy}});
        }
        ++py;
        if (err < 0) {
            err += 2 * py + 1;
        } else {
            --px;
            err += 2 * (py - px) + 1;
        }
    }
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    auto put = [&](int px, int py, QRgb rgb) {
        if (px >= 0 && py >= 0 && px < w && py < h)
            reinterpret_cast<QRgb*>(bits + py * bpl)[px] = rgb;
    };
    if (fillStyle_ == FillSolid) {
        const QRgb fill = toRgb(fillColor_);
        for (int dy = -rr; dy <= rr; ++dy) {
            const int row = yc + dy;
            if (row < 0 || row >= h) continue;
            const int from = std::max(xc - half[std::size_t(rr + dy)] + 1, 0);
            const int to = std::min(xc + half[std::size_t(rr + dy)] - 1, w - 1);
            for (int px = from; px <= to; ++px)
                put(px, row, fill);
        }
    }
    const QRgb rgb = toRgb(color);
    for (const auto& [dx, dy] : outline)
        if (lineWidth_ > 1)
            fillBlock(xc + dx, yc + dy, rgb);
        else
            put(xc + dx, yc + dy, rgb);
}

void ImageSurface::polygon(const QPolygonF& points, quint32 color, std::span<const float> depths)
{
    if (points.size() < 3 || image_.isNull()) return;
    endPainter();
    wideEnd_.valid = false;
    const bool tested = qsizetype(depths.size()) == points.size();
    if (tested && depth_.empty())
        depth_.assign(std::size_t(image_.width()) * std::size_t(image_.height()),
                      -std::numeric_limits<float>::infinity());
    const auto corner = [&](qsizetype i) {
        return Corner{QPointF(toImageX(float(points[i].x())), toImageY(float(points[i].y()))),
                      tested ? depths[std::size_t(i)] : 0.0f};
    };
    const QRgb rgb = toRgb(color);
    const Corner first = corner(0);
    Corner previous = corner(1);
    for (qsizetype i = 2; i < points.size(); ++i) {
        const Corner next = corner(i);
        fillTriangle(first, previous, next, rgb, tested);
        previous = next;
    }
}

void ImageSurface::fillTriangle(Corner a, Corner b, Corner c, QRgb rgb, bool tested)
{
    const auto cross = [](QPointF from, QPointF to, double x, double y) {
        return (to.x() - from.x()) * (y - from.y()) - (to.y() - from.y()) * (x - from.x());
    };
    double area = cross(a.at, b.at, c.at.x(), c.at.y());
    if (!(std::fabs(area) > 1e-12) || !std::isfinite(area)) return;
    if (area < 0) { // counter-clockwise in image rows, so inside is positive
        std::swap(b, c);
        area = -area;
    }
    const auto [left, right] = std::minmax({a.at.x(), b.at.x(), c.at.x()});
    const auto [top, bottom] = std::minmax({a.at.y(), b.at.y(), c.at.y()});
    const double x0 = std::max(std::ceil(left), 0.0);
    const double x1 = std::min(std::floor(right), image_.width() - 1.0);
    const double y0 = std::max(std::ceil(top), 0.0);
    const double y1 = std::min(std::floor(bottom), image_.height() - 1.0);
    if (!(x0 <= x1) || !(y0 <= y1)) return;
    uchar* bits = image_.bits();
    const qsizetype bpl = image_.bytesPerLine();
    for (int y = int(y0); y <= int(y1); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(bits + y * bpl);
        for (int x = int(x0); x <= int(x1); ++x) {
            // Each edge's side of the pixel centre; a centre on an edge belongs to the triangle.
            const double wa = cross(b.at, c.at, x, y), wb = cross(c.at, a.at, x, y),
                         wc = cross(a.at, b.at, x, y);
            if (wa < 0 || wb < 0 || wc < 0) continue;
            if (tested) {
                const float d = float((a.depth * wa + b.depth * wb + c.depth * wc) / area);
                float& kept = depth_[std::size_t(y) * std::size_t(image_.width()) + std::size_t(x)];
                if (d < kept) continue;
                kept = d;
            }
            row[x] = rgb;
        }
    }
}

void ImageSurface::setFont(const QString& family, qreal pointSize, bool bold)
{
    font_ = QFont(family);
    font_.setPointSizeF(pointSize);
    font_.setBold(bold);
}

void ImageSurface::printLine(const QString& text)
{
    if (image_.isNull()) return;
    QPainter& p = painter();
    p.save();
    scaleToWindow(p);
    p.setFont(font_);
    const QFontMetrics metrics = p.fontMetrics();
    if (!text.isEmpty()) {
        p.setPen(QColor::fromRgb(toRgb(foreColor_)));
        p.drawText(0, printY_ + metrics.ascent(), text);
    }
    printY_ += metrics.height();
    p.restore();
    if (raster_ == Raster::Direct) endPainter();
}

void ImageSurface::scaleToWindow(QPainter& p) const
{
    if (image_.size() != QSize(width_, height_) && width_ > 0 && height_ > 0)
        p.scale(double(image_.width()) / width_, double(image_.height()) / height_);
}

void ImageSurface::label(float x, float y, const QString& text, quint32 color, Qt::Alignment align)
{
    const QPointF at(toImageX(x) + 0.5, toImageY(y) + 0.5); // painter units: pixel i spans i..i+1
    // A point far off the image cannot show any of a short text.
    constexpr double limit = 1e6;
    if (image_.isNull() || text.isEmpty() || !(std::fabs(at.x()) < limit) ||
        !(std::fabs(at.y()) < limit))
        return;
    // Unsmoothed, so that a label adds its colour and no shades (an animation's frames keep
    // their colours exactly).
    QFont font = LabelText::font(int(std::lround(LabelPixelSize * pixelScale_)));
    font.setStyleStrategy(QFont::NoAntialias);
    LabelPlacement::Placed placed;
    if (!labels_.place(at, text, font, align, image_.size(), pixelScale_, placed)) return;
    QPainter& p = painter();
    p.fillRect(placed.box.toAlignedRect(), QColor::fromRgb(toRgb(backColor_)));
    p.setFont(font);
    p.setPen(QColor::fromRgb(toRgb(color)));
    p.drawText(placed.origin, text);
    if (raster_ == Raster::Direct) endPainter();
}
