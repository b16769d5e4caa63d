#pragma once

#include "render/DrawingSurface.h"

#include <QFont>
#include <QImage>

// What every kind of view keeps alike: its geometry in window pixels, the user scale (the
// view's own pixels until one is set), the retained-image flag, the colours and styles in
// force, the current point, the picture shown and the font of printed lines. The kinds differ
// in how they map the scale onto what they draw into (mapScale) and in the drawing itself.
class ScaledSurface : public DrawingSurface
{
public:
    int left() const override { return left_; }
    int width() const override { return width_; }
    int height() const override { return height_; }

    void setScale(float x1, float y1, float x2, float y2) override;
    float scaleWidth() const override { return scaleX2_ - scaleX1_; }
    float scaleHeight() const override { return scaleY2_ - scaleY1_; }

    void setAutoRedraw(bool on) override { autoRedraw_ = on; }
    bool autoRedraw() const override { return autoRedraw_; }

    quint32 backColor() const override { return backColor_; }
    const QImage& picture() const { return picture_; }

    void setDrawStyle(int style) override { drawStyle_ = style == Dotted ? Dotted : Solid; }
    void setFillColor(quint32 color) override { fillColor_ = color; }
    void setFillStyle(int style) override { fillStyle_ = style; }
    void setForeColor(quint32 color) override { foreColor_ = color; }

    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }

protected:
    // The view's pixels as the scale while none was set, then the kind's mapping.
    void updateMapping();
    virtual void mapScale() = 0;

    int left_ = 0;
    int width_ = 0, height_ = 0; // in window pixels
    bool autoRedraw_ = false;
    bool userScale_ = false;
    float scaleX1_ = 0, scaleY1_ = 0, scaleX2_ = 0, scaleY2_ = 0;
    quint32 backColor_ = 0xFFFFFF;
    quint32 fillColor_ = 0;
    quint32 foreColor_ = 0;
    int drawStyle_ = Solid;
    int fillStyle_ = FillTransparent;
    float currentX_ = 0, currentY_ = 0;
    QFont font_;
    QImage picture_;
};
