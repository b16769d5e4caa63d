#include "render/GuideDrawer.h"

#include "render/Projection.h"

#include <algorithm>
#include <cmath>

namespace {

bool finite(float a, float b)
{
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

GuideDrawer::GuideDrawer(const PlotSetup& setup, RenderState& state,
                         std::array<DrawingSurface*, 2> views, const FormFields& fields)
    : s_(setup), r_(state), views_(views), fields_(fields)
{
}

void GuideDrawer::drawAll()
{
    DrawFrames();
    DrawReferenceLines();
    DrawDivisions();
    DrawAxes();
    DrawOriginMark();
}

void GuideDrawer::DrawFrames()
{
    r_.GuideColor = FrameColor;
    const float bottom = s_.Windowlz + r_.PixelZ;
    const float right = s_.Windowgy - r_.PixelY;
    for (int view = 0; view < 2; ++view) {
        r_.ViewIndex = view;
        views_[view]->box(s_.Windowly, bottom, right, s_.Windowgz, r_.GuideColor);
    }
}

void GuideDrawer::DrawReferenceLines()
{
    r_.GuideColor = ReferenceColor;
    const qint64 lines = qint64(s_.Grid) - 1;
    const bool drawn = lines >= 1 && lines <= MaxStrokesPerLoop;
    for (int view = 0; view < 2; ++view) {
        r_.ViewIndex = view;
        DrawingSurface* pic = views_[view];
        pic->setDrawStyle(DrawingSurface::Dotted);
        if (drawn) {
            // The cell size is a double; each line's place is kept in single precision.
            const double cellY = double(s_.SpanY) / s_.Grid;
            const double cellZ = double(s_.SpanZ) / s_.Grid;
            float y = s_.Windowly;
            for (qint64 i = 1; i <= lines; ++i) {
                y = float(y + cellY);
                if (std::isfinite(y)) pic->line(y, s_.Windowlz, y, s_.Windowgz, r_.GuideColor);
            }
            float z = s_.Windowlz;
            for (qint64 i = 1; i <= lines; ++i) {
                z = float(z + cellZ);
                if (std::isfinite(z)) pic->line(s_.Windowly, z, s_.Windowgy, z, r_.GuideColor);
            }
        }
        pic->setDrawStyle(DrawingSurface::Solid);
    }
}

qint64 GuideDrawer::loopCount(float start, float end, float step)
{
    if (!std::isfinite(start) || !std::isfinite(end) || !std::isfinite(step)) return -1;
    double count;
    if (step > 0) {
        if (!(start <= end)) return 0;
        count = std::floor((double(end) - start) / step) + 1;
    } else if (step < 0) {
        if (!(start >= end)) return 0;
        count = std::floor((double(start) - end) / -double(step)) + 1;
    } else {
        return start <= end ? -1 : 0;
    }
    return count > MaxStrokesPerLoop ? -1 : qint64(count);
}

template <typename Body>
void GuideDrawer::countedLoop(float start, float end, float step, Body body)
{
    const qint64 count = loopCount(start, end, step);
    if (count <= 0) return;
    // The repeated addition may round one stroke past the count; a value that stops growing
    // would repeat forever.
    qint64 done = 0;
    float v = start;
    while (step > 0 ? v <= end : v >= end) {
        body(v);
        if (++done > count) break;
        const float next = v + step;
        if (next == v) break;
        v = next;
    }
}

void GuideDrawer::tick(DrawingSurface* view, float x, float y, float dx, float dy)
{
    if (finite(x, y) && finite(dx, dy)) view->lineRelative(x, y, dx, dy, r_.GuideColor);
}

bool GuideDrawer::xAxisOnScreen(XAxis& axis)
{
    if (s_.RatioYX + Projection::parallaxFor(s_, r_.ViewIndex) == 0) return false;
    r_.Py = s_.Yorigin;
    r_.Pz = s_.Zorigin;
    r_.Px = s_.Windowlx;
    axis.hA = Projection::ProjectH(s_, r_);
    axis.vA = Projection::ProjectV(s_, r_);
    r_.Px = s_.Windowgx;
    axis.hB = Projection::ProjectH(s_, r_);
    axis.vB = Projection::ProjectV(s_, r_);
    if (axis.hA == axis.hB) return false;
    const float slope = (axis.vA - axis.vB) / (axis.hA - axis.hB);
    axis.vLeft = (s_.Windowly - axis.hA) * slope + axis.vA;
    axis.vRight = (s_.Windowgy - axis.hA) * slope + axis.vA;
    return finite(axis.vLeft, axis.vRight);
}

void GuideDrawer::DrawDivisions()
{
    r_.GuideColor =
        fields_.option(QStringLiteral("optBackclr")) == 0 ? TickColorOnWhite : TickColorOnBlack;
    r_.TickY = s_.SpanY / 20.0f;
    r_.TickZ = s_.SpanZ / 20.0f;
    for (int view = 0; view < 2; ++view) {
        r_.ViewIndex = view;
        DrawingSurface* pic = views_[view];
        r_.Parallax = Projection::parallaxFor(s_, view);

        r_.Px = s_.Xorigin;
        r_.Py = s_.Yorigin;
        r_.Pz = s_.Zorigin;
        const float orgH = Projection::ProjectH(s_, r_);
        const float orgV = Projection::ProjectV(s_, r_);

        // x ticks, none where the axis is vertical on screen.
        XAxis axis;
        const bool xTicks = xAxisOnScreen(axis);
        r_.Pz = s_.Zorigin - r_.TickZ / 2;
        if (xTicks) {
            const float ratio = r_.Parallax + s_.RatioYX;
            const float xLeft = s_.Xmid - (s_.Windowly - s_.Yorigin) / ratio;
            const float xRight = s_.Xmid - (s_.Windowgy - s_.Yorigin) / ratio;
            const float xHi = std::max(xLeft, xRight);
            const float xLo = std::min(xLeft, xRight);
            const auto xTick = [&](float x) {
                r_.Px = x;
                const float h = Projection::ProjectH(s_, r_);
                tick(pic, h, Projection::ProjectV(s_, r_), 0, r_.TickZ);
            };

            float xStart = s_.Xorigin;
            if (orgH > s_.Windowgy) {
                const float xe = s_.Xmid - (axis.vRight - s_.Zorigin) / s_.RatioZX;
                xStart = s_.Xorigin + std::floor((xe - s_.Xorigin) / s_.Divx) * s_.Divx;
            }
            countedLoop(xStart, xHi, s_.Divx, xTick);

            xStart = s_.Xorigin;
            if (orgH < s_.Windowly) {
                const float xe = s_.Xmid - (axis.vLeft - s_.Zorigin) / s_.RatioZX;
                xStart = s_.Xorigin - std::floor((s_.Xorigin - xe) / s_.Divx) * s_.Divx;
            }
            countedLoop(xStart, xLo, -s_.Divx, xTick);
        }

        // y ticks; from an edge when the origin lies beyond it.
        r_.Px = s_.Xorigin;
        const float depth = s_.Xmid - r_.Px;
        const float shiftH = depth * s_.RatioYX + Projection::ParallaxOf(s_, r_);
        const float vTick = Projection::ProjectV(s_, r_);
        const auto yTick = [&](float y) {
            r_.Py = y;
            tick(pic, Projection::ProjectH(s_, r_), vTick, 0, r_.TickZ);
        };
        countedLoop(orgH < s_.Windowly ? s_.Windowly - shiftH : s_.Yorigin, s_.Windowgy - shiftH,
                    s_.Divy, yTick);
        countedLoop(orgH > s_.Windowgy ? s_.Windowgy - shiftH : s_.Yorigin, s_.Windowly - shiftH,
                    -s_.Divy, yTick);

        // z ticks, likewise.
        r_.Py = s_.Yorigin - r_.TickY / 2;
        const float hTick = Projection::ProjectH(s_, r_);
        const float shiftV = depth * s_.RatioZX;
        const auto zTick = [&](float z) {
            r_.Pz = z;
            tick(pic, hTick, Projection::ProjectV(s_, r_), r_.TickY, 0);
        };
        countedLoop(orgV < s_.Windowlz ? s_.Windowlz - shiftV : s_.Zorigin, s_.Windowgz - shiftV,
                    s_.Divz, zTick);
        countedLoop(orgV > s_.Windowgz ? s_.Windowgz - shiftV : s_.Zorigin, s_.Windowlz - shiftV,
                    -s_.Divz, zTick);
    }
}

void GuideDrawer::DrawAxes()
{
    r_.GuideColor = AxisColor;
    for (int view = 0; view < 2; ++view) {
        r_.ViewIndex = view;
        DrawingSurface* pic = views_[view];

        XAxis axis;
        if (xAxisOnScreen(axis))
            pic->line(s_.Windowly, axis.vLeft, s_.Windowgy, axis.vRight, r_.GuideColor);

        r_.Px = s_.Xorigin;
        r_.Pz = s_.Zorigin;
        const float v = Projection::ProjectV(s_, r_);
        if (std::isfinite(v)) {
            pic->pset(s_.Windowly, v, r_.GuideColor);
            pic->lineTo(s_.Windowgy, v, r_.GuideColor);
        }

        r_.Py = s_.Yorigin;
        const float h = Projection::ProjectH(s_, r_);
        if (std::isfinite(h)) {
            pic->pset(h, s_.Windowlz, r_.GuideColor);
            pic->lineTo(h, s_.Windowgz, r_.GuideColor);
        }
    }
}

void GuideDrawer::DrawOriginMark()
{
    r_.GuideColor = AxisColor;
    r_.Px = r_.Py = r_.Pz = 0;
    r_.Parallax = Projection::parallaxFor(s_, 0);
    r_.Depth = s_.Xmid;
    const float hRight = r_.Depth * s_.RatioYX;
    const float hLeft = r_.Depth * r_.Parallax + hRight;
    const float v = s_.RatioZX * r_.Depth;
    for (int view = 0; view < 2; ++view) {
        r_.ViewIndex = view;
        DrawingSurface* pic = views_[view];
        const float radius = pic->scaleWidth() / 100.0f;
        const float h = view == 0 ? hLeft : hRight;
        pic->setFillColor(AxisColor);
        pic->setFillStyle(DrawingSurface::FillSolid);
        if (finite(h, v) && std::isfinite(radius)) pic->circle(h, v, radius, AxisColor);
        pic->setFillColor(0);
        pic->setFillStyle(DrawingSurface::FillTransparent);
    }
}
