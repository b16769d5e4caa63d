#include "render/ImageSurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Cohen-Sutherland clipping of the segment to the rectangle; false when nothing is left. Each
// cut puts the moved end exactly on the edge, so a line that runs along a row or a column
// keeps that row or column however far away its ends lie.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double xmin, double ymin,
                 double xmax, double ymax)
{
    enum
    {
        Left = 1,
        Right = 2,
        Top = 4,
        Bottom = 8
    };
    auto code = [&](double x, double y) {
        return (x < xmin ? Left : x > xmax ? Right : 0) | (y < ymin ? Top : y > ymax ? Bottom : 0);
    };
    int c0 = code(x0, y0), c1 = code(x1, y1);
    for (int pass = 0; pass < 8; ++pass) {
        if ((c0 | c1) == 0) return true;
        if ((c0 & c1) != 0) return false;
        const int out = c0 != 0 ? c0 : c1;
        double x = 0, y = 0;
        if (out & Top) {
            x = x0 + (x1 - x0) * (ymin - y0) / (y1 - y0);
            y = ymin;
        } else if (out & Bottom) {
            x = x0 + (x1 - x0) * (ymax - y0) / (y1 - y0);
            y = ymax;
        } else if (out & Left) {
            y = y0 + (y1 - y0) * (xmin - x0) / (x1 - x0);
            x = xmin;
        } else {
            y = y0 + (y1 - y0) * (xmax - x0) / (x1 - x0);
            x = xmax;
        }
        if (out == c0) {
            x0 = x;
            y0 = y;
            c0 = code(x0, y0);
        } else {
            x1 = x;
            y1 = y;
            c1 = code(x1, y1);
        }
    }
    return (c0 | c1) == 0;
}

// The pixel of a clipped coordinate, which lies in [-0.5, size - 0.5]: truncation rounds there.
int toPixel(double c, int size)
{
    return std::min(std::max(int(c + 0.5), 0), size - 1);
}

} // namespace

ImageSurface::ImageSurface(int left, int width, int height)
    : left_(left), image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32)
{
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
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != image_.width() || height != image_.height()) {
        endPainter();
        QImage resized(width, height, QImage::Format_RGB32);
        resized.fill(toRgb(backColor_));
        if (!resized.isNull() && !image_.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, image_);
        }
        image_ = resized;
    }
    updateMapping();
}

void ImageSurface::setScale(float x1, float y1, float x2, float y2)
{
    userScale_ = true;
    scaleX1_ = x1;
    scaleY1_ = y1;
    scaleX2_ = x2;
    scaleY2_ = y2;
    updateMapping();
}

void ImageSurface::updateMapping()
{
    if (!userScale_) {
        scaleX1_ = 0;
        scaleY1_ = 0;
        scaleX2_ = float(image_.width());
        scaleY2_ = float(image_.height());
    }
    // A scale of no extent maps every point to infinity, so nothing is drawn.
    factorX_ = image_.width() / (double(scaleX2_) - scaleX1_);
    factorY_ = image_.height() / (double(scaleY2_) - scaleY1_);
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
    return nearestPixel((double(x) - scaleX1_) * factorX_);
}

int ImageSurface::pixelY(float y) const
{
    return nearestPixel((double(y) - scaleY1_) * factorY_);
}

void ImageSurface::fillBackground()
{
    endPainter();
    image_.fill(toRgb(backColor_));
    if (!picture_.isNull() && !image_.isNull()) {
        QPainter p(&image_);
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

void ImageSurface::setDrawStyle(int style)
{
    drawStyle_ = style == Dotted ? Dotted : Solid;
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
    double px0 = (double(x1) - scaleX1_) * factorX_;
    double py0 = (double(y1) - scaleY1_) * factorY_;
    double px1 = (double(x2) - scaleX1_) * factorX_;
    double py1 = (double(y2) - scaleY1_) * factorY_;
    if (!std::isfinite(px0) || !std::isfinite(py0) || !std::isfinite(px1) || !std::isfinite(py1))
        return;
    const int w = image_.width(), h = image_.height();
    if (w == 0 || h == 0) return;
    const double xmax = w - 0.5, ymax = h - 0.5;
    const bool inside = px0 >= -0.5 && px0 < xmax && py0 >= -0.5 && py0 < ymax && px1 >= -0.5 &&
                        px1 < xmax && py1 >= -0.5 && py1 < ymax;
    if (!inside && !clipSegment(px0, py0, px1, py1, -0.5, -0.5, xmax, ymax)) return;
    if (raster_ == Raster::Direct)
        rasterLine(px0, py0, px1, py1, toRgb(color));
    else
        painterLine(px0, py0, px1, py1, toRgb(color));
}

void ImageSurface::rasterLine(double x0, double y0, double x1, double y1, QRgb rgb)
{
    const int w = image_.width(), h = image_.height();
    int ix = toPixel(x0, w), iy = toPixel(y0, h);
    const int ex = toPixel(x1, w), ey = toPixel(y1, h);
    const int dx = std::abs(ex - ix), dy = -std::abs(ey - iy);
    const int sx = ix < ex ? 1 : -1;
    const qsizetype bpl = image_.bytesPerLine();
    const qsizetype sy = iy < ey ? bpl : -bpl;
    uchar* bits = image_.bits(); // detaches from any copy handed out by image()
    uchar* row = bits + iy * bpl;
    const bool dotted = drawStyle_ == Dotted;
    int err = dx + dy;
    for (int n = 0;; ++n) {
        if (!dotted || (n & 1) == 0) reinterpret_cast<QRgb*>(row)[ix] = rgb;
        if (ix == ex && row == bits + ey * bpl) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            ix += sx;
        }
        if (e2 <= dx) {
            err += dx;
            row += sy;
        }
    }
}

void ImageSurface::painterLine(double x0, double y0, double x1, double y1, QRgb rgb)
{
    const int w = image_.width(), h = image_.height();
    QPainter& p = painter();
    QPen pen(QColor::fromRgb(rgb), 0);
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
    const int px = pixelX(x), py = pixelY(y);
    if (px < 0 || py < 0 || px >= image_.width() || py >= image_.height()) return;
    if (raster_ == Raster::Painter) {
        QPainter& p = painter();
        p.setPen(QPen(QColor::fromRgb(toRgb(color)), 0));
        p.drawPoint(px, py);
        return;
    }
    endPainter();
    reinterpret_cast<QRgb*>(image_.scanLine(py))[px] = toRgb(color);
}

void ImageSurface::circle(float x, float y, float radius, quint32 color)
{
    currentX_ = x;
    currentY_ = y;
    const double cx = std::floor((double(x) - scaleX1_) * factorX_ + 0.5);
    const double cy = std::floor((double(y) - scaleY1_) * factorY_ + 0.5);
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
        put(xc + dx, yc + dy, rgb);
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
    p.setFont(font_);
    const QFontMetrics metrics = p.fontMetrics();
    if (!text.isEmpty()) {
        p.setPen(QColor::fromRgb(toRgb(foreColor_)));
        p.drawText(0, printY_ + metrics.ascent(), text);
    }
    printY_ += metrics.height();
    if (raster_ == Raster::Direct) endPainter();
}
