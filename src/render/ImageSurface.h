#pragma once

#include "render/LabelPlacement.h"
#include "render/ScaledSurface.h"

#include <QFont>
#include <QImage>
#include <algorithm>
#include <memory>

class QPainter;

// A view drawn into a QImage. At pixel scale 1 the image's pixels are the main window's
// pixels; the user scale maps onto them with pixel centres at whole numbers, so a coordinate
// rounds to the nearest pixel. Lines, points and circles are written straight into the
// image's bits (clipped one-pixel lines); text goes through QPainter. The image always holds
// everything drawn; the retained-image flag is kept for the window and the exports to read.
//
// At pixel scale K (1 to 16) the view keeps its geometry and user scale but its image is
// round(K w) x round(K h) pixels: each window pixel becomes a block of about K x K, lines are
// max(1, round(K)) pixels wide with the dotted pattern as long, points fill a block, circle
// radii and text grow by K. The plot is drawn anew at that size, so it stays sharp.
class ImageSurface : public ScaledSurface
{
public:
    // How lines and points are rasterised: straight into the bits, or through QPainter (kept
    // for comparison in the benchmark).
    enum class Raster
    {
        Direct,
        Painter
    };

    static constexpr double MaxPixelScale = 16;

    ImageSurface(int left = 0, int width = 400, int height = 300, double pixelScale = 1);
    ~ImageSurface() override;
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    void setGeometry(int left, int width, int height) override;

    void setBackColor(quint32 color) override;
    void clearPicture() override;
    void setPicture(const QImage& picture) override;

    void line(float x1, float y1, float x2, float y2, quint32 color) override;
    void polyline(const float* x, const float* y, int n, quint32 color) override;
    void box(float x1, float y1, float x2, float y2, quint32 color) override;
    void lineRelative(float x1, float y1, float dx, float dy, quint32 color) override;
    void lineTo(float x2, float y2, quint32 color) override;
    void pset(float x, float y, quint32 color) override;
    void circle(float x, float y, float radius, quint32 color) override;
    void polygon(const QPolygonF& points, quint32 color, std::span<const float> depths) override;
    double resolution() const override { return pixelScale_; }

    void setFont(const QString& family, qreal pointSize, bool bold) override;
    void printLine(const QString& text) override;
    void label(float x, float y, const QString& text, quint32 color, Qt::Alignment align) override;

    QImage image() const override;

    // Image pixels per window pixel, clamped into [1, MaxPixelScale]; changing it resizes the
    // image to round(K w) x round(K h) and erases the drawing.
    void setPixelScale(double scale);
    double pixelScale() const { return pixelScale_; }

    // An image of exactly `pixels` whatever the geometry (a view drawn for a screen, or into
    // half a frame), drawn with the weights of pixel scale `scale` (clamped as above): lines
    // and points `weight` times as wide, at least one pixel. setPixelScale ends it.
    void setOutputSize(QSize pixels, double scale, double weight = 1);

    void setRaster(Raster raster);
    Raster raster() const { return raster_; }

    // The &H00BBGGRR colour of one image pixel (0 outside the image).
    quint32 pixelColor(int px, int py) const;
    // The depth of the nearest polygon drawn with depths at each image pixel, row by row
    // (greater is nearer, -infinity where there is none); empty when none has been drawn
    // since the background.
    std::span<const float> depths() const { return depth_; }
    // The image pixel a user coordinate falls on (may lie outside the image).
    int pixelX(float x) const;
    int pixelY(float y) const;

    static QRgb toRgb(quint32 color);

private:
    void resizeImage(int width, int height);
    // Lets a painter on the image draw in window pixels.
    void scaleToWindow(QPainter& p) const;
    void mapScale() override;
    // Image-pixel coordinates of a user point (continuous, centres at whole numbers).
    double toImageX(float x) const { return (double(x) - scaleX1_) * factorX_ + offsetX_; }
    double toImageY(float y) const { return (double(y) - scaleY1_) * factorY_ + offsetY_; }
    // The image's bits for writing (detached from any copy handed out by image()) and size,
    // looked up once for a run of drawing.
    struct Pixels
    {
        uchar* bits = nullptr;
        qsizetype bytesPerLine = 0;
        int width = 0, height = 0;
    };
    Pixels pixels();
    // The lineWidth_ square of pixels whose centre block holds image pixel (px, py), clipped.
    void fillBlock(int px, int py, QRgb rgb);
    // [x0, x1) x [y0, y1), clipped.
    static void fillPixels(const Pixels& to, int x0, int y0, int x1, int y1, QRgb rgb)
    {
        x0 = std::max(x0, 0);
        x1 = std::min(x1, to.width);
        y0 = std::max(y0, 0);
        y1 = std::min(y1, to.height);
        if (x0 >= x1) return;
        for (int y = y0; y < y1; ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(to.bits + y * to.bytesPerLine);
            std::fill(row + x0, row + x1, rgb);
        }
    }
    void fillBackground();
    void endPainter() const;
    QPainter& painter();
    // One clipped line between pixel-space points (continuous, centres at whole numbers).
    template <typename Visit>
    static void walkLine(const Pixels& on, double x0, double y0, double x1, double y1, Visit visit);
    void rasterLine(const Pixels& to, double x0, double y0, double x1, double y1, QRgb rgb);
    void rasterWideLine(const Pixels& to, double x0, double y0, double x1, double y1, QRgb rgb);
    void painterLine(double x0, double y0, double x1, double y1, QRgb rgb);
    void drawSegment(float x1, float y1, float x2, float y2, quint32 color);
    // The same between image-pixel points.
    void drawMapped(double px0, double py0, double px1, double py1, QRgb rgb);
    void drawMapped(const Pixels& to, double px0, double py0, double px1, double py1, QRgb rgb);
    // A corner of a filled triangle: its image-pixel point and depth.
    struct Corner
    {
        QPointF at;
        float depth = 0;
    };
    // The pixels whose centres lie in the triangle, where it is nearer than the depth kept
    // (when `tested`).
    void fillTriangle(Corner a, Corner b, Corner c, QRgb rgb, bool tested);

    double pixelScale_ = 1;
    int lineWidth_ = 1;
    QSize outputSize_; // the image's size when set, else K times the geometry
    QImage image_;
    std::vector<float> depth_;         // of the polygons painted since the background, per pixel
    double factorX_ = 1, factorY_ = 1; // image pixels per user unit
    // Where a window pixel's centre lands inside its block: (image/window size - 1) / 2.
    double offsetX_ = 0, offsetY_ = 0;
    int printY_ = 0; // pixel row of the next printed line
    LabelPlacement labels_;
    Raster raster_ = Raster::Direct;
    mutable std::unique_ptr<QPainter> painter_;
    // Where the last solid wide line ended, while nothing else has been drawn.
    struct WideEnd
    {
        bool valid = false;
        int x = 0, y = 0;
        QRgb rgb = 0;
    } wideEnd_; // open only in Painter mode, between calls
};
