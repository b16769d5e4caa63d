#pragma once

#include <QByteArray>

class SvgSurface;

// An SVG 1.1 document of one or more views side by side: its viewBox counts view pixels and
// its width and height are `scale` times as many, so a viewer shows it at that size.
class SvgDocument
{
public:
    explicit SvgDocument(double scale = 1);

    // Adds the view with its left edge at x (view pixels of the document).
    void addView(const SvgSurface& view, double x);

    QByteArray toSvg() const;

private:
    double scale_;
    double width_ = 0, height_ = 0;
    int views_ = 0;
    QByteArray body_;
};
