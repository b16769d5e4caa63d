#pragma once

#include "render/DrawingSurface.h"

#include <QFont>
#include <QImage>
#include <memory>

class QPainter;

// A view drawn into a QImage. Pixels are the main window's pixels; the user scale maps onto
// them with pixel centres at whole numbers, so a coordinate rounds to the nearest pixel.
// Lines, points and circles are written straight into the image's bits (clipped one-pixel
// lines); text goes through QPainter. The image always holds everything drawn; the
// retained-image flag is kept for the window and the exports to read.
class ImageSurface : public DrawingSurface
{
public:
    // How lines and points are rasterised: straight into the bits, or through QPainter (kept
    // for comparison in the benchmark).
    enum class Raster
    {
        Direct,
        Painter
    };

    ImageSurface(int left = 0, int width = 400, int height = 300);
    ~ImageSurface() override;
    ImageSurface(const ImageSurface&) = delete;
    ImageSurface& operator=(const ImageSurface&) = delete;

    int left() const override { return left_; }
    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void setGeometry(int left, int width, int height) override;

    void setScale(float x1, float y1, float x2, float y2) override;
    float scaleWidth() const override { return scaleX2_ - scaleX1_; }
    float scaleHeight() const override { return scaleY2_ - scaleY1_; }

    void setAutoRedraw(bool on) override { autoRedraw_ = on; }
    bool autoRedraw() const override { return autoRedraw_; }

    void setBackColor(quint32 color) override;
    quint32 backColor() const override { return backColor_; }
    void clearPicture() override;
    void setPicture(const QImage& picture) override;

    void setDrawStyle(int style) override;
    void setFillColor(quint32 color) override { fillColor_ = color; }
    void setFillStyle(int style) override { fillStyle_ = style; }

    void line(float x1, float y1, float x2, float y2, quint32 color) override;
    void box(float x1, float y1, float x2, float y2, quint32 color) override;
    void lineRelative(float x1, float y1, float dx, float dy, quint32 color) override;
    void lineTo(float x2, float y2, quint32 color) override;
    void pset(float x, float y, quint32 color) override;
    void circle(float x, float y, float radius, quint32 color) override;

    void setFont(const QString& family, qreal pointSize, bool bold) override;
    void setForeColor(quint32 color) override { foreColor_ = color; }
    void printLine(const QString& text) override;

    QImage image() const override;

    void setRaster(Raster raster);
    Raster raster() const { return raster_; }

    // The &H00BBGGRR colour of one pixel (0 outside the image).
    quint32 pixelColor(int px, int py) const;
    // The pixel a user coordinate falls on (may lie outside the image).
    int pixelX(float x) const;
    int pixelY(float y) const;
    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }

    static QRgb toRgb(quint32 color);

private:
    void updateMapping();
    void fillBackground();
    void endPainter() const;
    QPainter& painter();
    // One clipped line between pixel-space points (continuous, centres at whole numbers).
    void rasterLine(double x0, double y0, double x1, double y1, QRgb rgb);
    void painterLine(double x0, double y0, double x1, double y1, QRgb rgb);
    void drawSegment(float x1, float y1, float x2, float y2, quint32 color);

    int left_ = 0;
    QImage image_;
    QImage picture_;
    bool autoRedraw_ = false;
    bool userScale_ = false;
    float scaleX1_ = 0, scaleY1_ = 0, scaleX2_ = 0, scaleY2_ = 0;
    double factorX_ = 1, factorY_ = 1; // pixels per user unit
    quint32 backColor_ = 0xFFFFFF;
    quint32 fillColor_ = 0;
    quint32 foreColor_ = 0;
    int drawStyle_ = Solid;
    int fillStyle_ = FillTransparent;
    float currentX_ = 0, currentY_ = 0;
    int printY_ = 0; // pixel row of the next printed line
    QFont font_;
    Raster raster_ = Raster::Direct;
    mutable std::unique_ptr<QPainter> painter_; // open only in Painter mode, between calls
};
