#pragma once

#include "render/ImageSurface.h"

#include <array>

#include <QList>

// An image view that also records its strokes and points with their arguments in user units.
class RecordingSurface : public ImageSurface
{
public:
    enum Kind
    {
        Line,
        Box,
        LineRelative,
        PSet,
        Circle
    };
    struct Call
    {
        Kind kind = Line;
        float a[4] = {0, 0, 0, 0}; // as passed (a circle's radius is a[2])
        quint32 color = 0;
        int drawStyle = Solid; // in force
        bool operator==(const Call&) const = default;
    };

    using ImageSurface::ImageSurface;

    QList<Call> calls;

    // The calls of one kind (any: -1) in one colour (any: -1), in the order made.
    QList<Call> drawn(int kind, qint64 color = -1) const
    {
        QList<Call> out;
        for (const Call& c : calls)
            if ((kind < 0 || c.kind == kind) && (color < 0 || c.color == color)) out.append(c);
        return out;
    }

    void setDrawStyle(int style) override
    {
        style_ = style;
        ImageSurface::setDrawStyle(style);
    }
    void line(float x1, float y1, float x2, float y2, quint32 color) override
    {
        rec(Line, {x1, y1, x2, y2}, color, [&] { ImageSurface::line(x1, y1, x2, y2, color); });
    }
    // Recorded as its segments, each a line.
    void polyline(const float* x, const float* y, int n, quint32 color) override
    {
        for (int i = 1; i < n && !inside_; ++i)
            calls.append({Line, {x[i - 1], y[i - 1], x[i], y[i]}, color, style_});
        const bool outer = !inside_;
        inside_ = true;
        ImageSurface::polyline(x, y, n, color);
        if (outer) inside_ = false;
    }
    void box(float x1, float y1, float x2, float y2, quint32 color) override
    {
        rec(Box, {x1, y1, x2, y2}, color, [&] { ImageSurface::box(x1, y1, x2, y2, color); });
    }
    void lineRelative(float x, float y, float dx, float dy, quint32 color) override
    {
        rec(LineRelative, {x, y, dx, dy}, color,
            [&] { ImageSurface::lineRelative(x, y, dx, dy, color); });
    }
    void pset(float x, float y, quint32 color) override
    {
        rec(PSet, {x, y, 0, 0}, color, [&] { ImageSurface::pset(x, y, color); });
    }
    void circle(float x, float y, float radius, quint32 color) override
    {
        rec(Circle, {x, y, radius, 0}, color, [&] { ImageSurface::circle(x, y, radius, color); });
    }

private:
    // Records the call unless it is made inside another recorded one (a relative line draws
    // a line), then draws it.
    template <typename Draw> void rec(Kind kind, std::array<float, 4> a, quint32 color, Draw draw)
    {
        if (!inside_) calls.append({kind, {a[0], a[1], a[2], a[3]}, color, style_});
        const bool outer = !inside_;
        inside_ = true;
        draw();
        if (outer) inside_ = false;
    }
    int style_ = Solid;
    bool inside_ = false;
};
