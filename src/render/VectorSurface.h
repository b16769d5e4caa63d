#pragma once

#include "render/LabelPlacement.h"
#include "render/ScaledSurface.h"

#include <QFont>
#include <QImage>
#include <QPolygonF>
#include <vector>

class QPainter;

// A view kept as vector shapes, to be painted at any size (a PDF page, a printer) or written
// as SVG. Coordinates are the view's pixels with pixel centres at half units, so that a
// one-unit stroke along a row covers exactly that row; the user scale maps onto them as on
// an image. Lines that continue where the last one ended, in the same colour and style, join
// one polyline; successive points of one colour join one set of dots. Shapes far beyond the
// view are cut short (the view clips the rest), and points that are not numbers are skipped.
class VectorSurface : public ScaledSurface
{
public:
    struct Shape
    {
        enum Kind
        {
            Polyline,
            Dots,
            Circle,
            Text,
            Polygon
        };
        Kind kind = Polyline;
        quint32 color = 0;
        bool dotted = false;   // Polyline
        QPolygonF points;      // the polyline, the dots' centres, the polygon's corners, or the
                               // circle's centre / the text's baseline origin as the only point
        double radius = 0;     // Circle
        bool filled = false;   // Circle
        quint32 fillColor = 0; // Circle; Text: the background, filling its knock-out
        QString text;          // Text
        QFont font;            // Text, its size in view pixels
        QRectF knockout;       // Text: the box cleared under a label (none for printed lines)
    };

    VectorSurface(int left = 0, int width = 400, int height = 300);

    void setGeometry(int left, int width, int height) override;

    void setBackColor(quint32 color) override;
    void clearPicture() override;
    void setPicture(const QImage& picture) override;

    void line(float x1, float y1, float x2, float y2, quint32 color) override;
    void box(float x1, float y1, float x2, float y2, quint32 color) override;
    void lineRelative(float x1, float y1, float dx, float dy, quint32 color) override;
    void lineTo(float x2, float y2, quint32 color) override;
    void pset(float x, float y, quint32 color) override;
    void circle(float x, float y, float radius, quint32 color) override;
    void polygon(const QPolygonF& points, quint32 color, std::span<const float> depths) override;
    // A raster twice as fine as the view's pixels matches shapes painted at a larger size.
    double resolution() const override { return 2; }

    void setFont(const QString& family, qreal pointSize, bool bold) override;
    void printLine(const QString& text) override;
    void label(float x, float y, const QString& text, quint32 color, Qt::Alignment align) override;

    // The view painted at its own size, without smoothing.
    QImage image() const override;

    // Paints the view (background, picture, shapes) into `target`, in the painter's
    // coordinates, clipped to it: one view pixel becomes target.width() / width() units.
    void paint(QPainter& painter, const QRectF& target) const;

    const std::vector<Shape>& shapes() const { return shapes_; }

    // A user point in view pixels.
    QPointF toView(float x, float y) const;

private:
    void mapScale() override;
    void erase();
    // Ends the polyline or dots that the next shape could have continued.
    void closeOpenShape() { open_ = false; }

    double factorX_ = 1, factorY_ = 1; // view pixels per user unit
    double printY_ = 0;                // view pixel row of the next printed line
    std::vector<Shape> shapes_;
    LabelPlacement labels_;
    // The last shape may go on from (openX_, openY_), the user point it ended at.
    bool open_ = false;
    float openX_ = 0, openY_ = 0;
};
