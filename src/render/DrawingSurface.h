#pragma once

#include <QImage>
#include <QPolygonF>
#include <QString>
#include <QtGlobal>
#include <span>

// One view: a picture with a user coordinate system. Colours are &H00BBGGRR numbers; lines are
// one pixel wide; coordinates outside the scale window are legal and clipped at the edge.
class DrawingSurface
{
public:
    enum DrawStyle
    {
        Solid = 0,
        Dotted = 2
    };
    enum FillStyle
    {
        FillSolid = 0,
        FillTransparent = 1
    };

    virtual ~DrawingSurface() = default;

    // Geometry in pixels of the main window.
    virtual int left() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void setGeometry(int left, int width, int height) = 0;

    // Scale (x1, y1)-(x2, y2): x1 at the left edge, x2 at the right, y1 at the top, y2 at the
    // bottom (y1 > y2 makes up positive).
    virtual void setScale(float x1, float y1, float x2, float y2) = 0;
    virtual float scaleWidth() const = 0;  // x2 - x1
    virtual float scaleHeight() const = 0; // y2 - y1

    virtual void setAutoRedraw(bool on) = 0;
    virtual bool autoRedraw() const = 0;

    virtual void setBackColor(quint32 color) = 0; // fills the surface, erasing earlier drawing
    virtual quint32 backColor() const = 0;
    virtual void clearPicture() = 0; // removes the picture shown (start-up image)
    virtual void setPicture(const QImage& picture) = 0;

    virtual void setDrawStyle(int style) = 0;
    virtual void setFillColor(quint32 color) = 0;
    virtual void setFillStyle(int style) = 0;

    virtual void line(float x1, float y1, float x2, float y2, quint32 color) = 0;
    // The n - 1 segments from (x[0], y[0]) through each following point, drawn as line()
    // draws them one after the other; a surface may draw the run faster.
    virtual void polyline(const float* x, const float* y, int n, quint32 color)
    {
        for (int i = 1; i < n; ++i)
            line(x[i - 1], y[i - 1], x[i], y[i], color);
    }
    virtual void box(float x1, float y1, float x2, float y2, quint32 color) = 0;
    virtual void lineRelative(float x1, float y1, float dx, float dy, quint32 color) = 0;
    virtual void lineTo(float x2, float y2, quint32 color) = 0; // from the current point
    virtual void pset(float x, float y, quint32 color) = 0;     // becomes the current point
    virtual void circle(float x, float y, float radius, quint32 color) = 0;
    // A polygon of user points filled with `color`, without an outline (a cell of a solid
    // surface), given far ones first. With a depth per corner (greater is nearer) a raster
    // paints only where the polygon is nearer than those painted before it; a vector view
    // keeps the order.
    virtual void polygon(const QPolygonF& points, quint32 color, std::span<const float> depths) = 0;

    // How many pixels of detail the view has per window pixel (an image's pixel scale); what
    // a raster of the view needs to match it.
    virtual double resolution() const = 0;

    // Text printed line by line from the current print position (the start-up splash).
    virtual void setFont(const QString& family, qreal pointSize, bool bold) = 0;
    virtual void setForeColor(quint32 color) = 0;
    virtual void printLine(const QString& text) = 0;

    // A short label (an axis letter, a tick value) placed at the user point (x, y) in `color`:
    // `align` names the side of the text that lies at the point (Qt::AlignCenter centres it,
    // Qt::AlignLeft | Qt::AlignVCenter starts it there). Set in a sans-serif face of
    // LabelPixelSize view pixels, enlarged with the view, so it reads alike at every size.
    // Clipped at the view's edge like every drawing.
    static constexpr int LabelPixelSize = 11;
    virtual void label(float x, float y, const QString& text, quint32 color,
                       Qt::Alignment align) = 0;

    // What the view shows now: the background, the picture and everything drawn since.
    virtual QImage image() const = 0;
};
