#include "render/GuideDrawer.h"

#include "render/Projection.h"
#include "setup/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

bool finite(float a, float b)
{
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

GuideDrawer::GuideDrawer(const PlotSetup& setup, std::array<DrawingSurface*, 2> views)
    : s_(setup), views_(views),
      pixelY_((setup.Windowgy - setup.Windowly) / float(views[0]->width())),
      pixelZ_((setup.Windowgz - setup.Windowlz) / float(views[0]->height()))
{
    if (setup.Options.Look.Orthographic) {
        const Projection::ViewWindow w =
            Projection::viewWindow(setup, views[0]->width(), views[0]->height());
        pixelY_ = (w.x2 - w.x1) / float(views[0]->width());
        pixelZ_ = (w.y1 - w.y2) / float(views[0]->height());
    }
}

void GuideDrawer::drawAll()
{
    DrawFrames();
    DrawReferenceLines();
    DrawDivisions();
    DrawAxes();
    DrawOriginMark();
    if (s_.Options.Labels) DrawAxisLetters();
}

void GuideDrawer::DrawFrames()
{
    color_ = FrameColor;
    const float bottom = s_.Windowlz + pixelZ_;
    const float right = s_.Windowgy - pixelY_;
    for (int view = 0; view < 2; ++view)
        views_[view]->box(s_.Windowly, bottom, right, s_.Windowgz, color_);
}

void GuideDrawer::DrawReferenceLines()
{
    color_ = ReferenceColor;
    const qint64 lines = qint64(s_.Grid) - 1;
    const bool drawn = lines >= 1 && lines <= MaxStrokesPerLoop;
    for (int view = 0; view < 2; ++view) {
        DrawingSurface* pic = views_[view];
        pic->setDrawStyle(DrawingSurface::Dotted);
        if (drawn) {
            // The cell size is a double; each line's place is kept in single precision.
            const double cellY = double(s_.SpanY) / s_.Grid;
            const double cellZ = double(s_.SpanZ) / s_.Grid;
            float y = s_.Windowly;
            for (qint64 i = 1; i <= lines; ++i) {
                y = float(y + cellY);
                if (std::isfinite(y)) pic->line(y, s_.Windowlz, y, s_.Windowgz, color_);
            }
            float z = s_.Windowlz;
            for (qint64 i = 1; i <= lines; ++i) {
                z = float(z + cellZ);
                if (std::isfinite(z)) pic->line(s_.Windowly, z, s_.Windowgy, z, color_);
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
    if (finite(x, y) && finite(dx, dy)) view->lineRelative(x, y, dx, dy, color_);
}

void GuideDrawer::tickLabel(int view, float x, float y, float value, Qt::Alignment align)
{
    if (s_.Options.Labels && finite(x, y))
        labels_.push_back({view, x, y, FormatNumber7(value), color_, align});
}

void GuideDrawer::DrawLabels()
{
    for (const Label& l : labels_)
        views_[std::size_t(l.view)]->label(l.x, l.y, l.text, l.color, l.align);
    labels_.clear();
}

bool GuideDrawer::xAxisOnScreen(int view, XAxis& axis)
{
    // Seen along the depth axis, the x axis is a point (and the parallax alone would give it
    // to one view only).
    if (s_.Options.Look.Orthographic) return false;
    if (s_.RatioYX + Projection::parallaxFor(s_, view) == 0) return false;
    const Projection::Point a{s_.Windowlx, s_.Yorigin, s_.Zorigin};
    const Projection::Point b{s_.Windowgx, s_.Yorigin, s_.Zorigin};
    axis.hA = Projection::horizontal(s_, view, a);
    axis.vA = Projection::vertical(s_, a);
    axis.hB = Projection::horizontal(s_, view, b);
    axis.vB = Projection::vertical(s_, b);
    if (axis.hA == axis.hB) return false;
    const float slope = (axis.vA - axis.vB) / (axis.hA - axis.hB);
    axis.vLeft = (s_.Windowly - axis.hA) * slope + axis.vA;
    axis.vRight = (s_.Windowgy - axis.hA) * slope + axis.vA;
    return finite(axis.vLeft, axis.vRight);
}

void GuideDrawer::DrawDivisions()
{
    color_ = s_.Options.BlackBackground ? TickColorOnBlack : TickColorOnWhite;
    const float tickY = s_.SpanY / 20.0f;
    const float tickZ = s_.SpanZ / 20.0f;
    for (int view = 0; view < 2; ++view) {
        DrawingSurface* pic = views_[view];
        const float parallax = Projection::parallaxFor(s_, view);
        const auto h = [&](Projection::Point p) { return Projection::horizontal(s_, view, p); };
        const auto v = [&](Projection::Point p) { return Projection::vertical(s_, p); };

        const Projection::Point origin{s_.Xorigin, s_.Yorigin, s_.Zorigin};
        const float orgH = h(origin);
        const float orgV = v(origin);

        // x ticks, none where the axis is vertical on screen.
        XAxis axis;
        const bool xTicks = xAxisOnScreen(view, axis);
        const float zBelow = s_.Zorigin - tickZ / 2;
        if (xTicks) {
            const float ratio = parallax + s_.RatioYX;
            const float xLeft = s_.Xmid - (s_.Windowly - s_.Yorigin) / ratio;
            const float xRight = s_.Xmid - (s_.Windowgy - s_.Yorigin) / ratio;
            const float xHi = std::max(xLeft, xRight);
            const float xLo = std::min(xLeft, xRight);
            const auto xTick = [&](float x) {
                const Projection::Point p{x, s_.Yorigin, zBelow};
                tick(pic, h(p), v(p), 0, tickZ);
                // The origin's value is left to the y axis, whose ticks lie apart from it.
                if (x != s_.Xorigin)
                    tickLabel(view, h(p), v(p), x, Qt::AlignTop | Qt::AlignHCenter);
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
        const float depth = s_.Xmid - s_.Xorigin;
        const float shiftH = depth * Projection::depthRatioH(s_) + depth * parallax;
        const float vTick = v({s_.Xorigin, 0, zBelow});
        const auto yTick = [&](float y) {
            tick(pic, h({s_.Xorigin, y, zBelow}), vTick, 0, tickZ);
            tickLabel(view, h({s_.Xorigin, y, zBelow}), vTick, y, Qt::AlignTop | Qt::AlignHCenter);
        };
        countedLoop(orgH < s_.Windowly ? s_.Windowly - shiftH : s_.Yorigin, s_.Windowgy - shiftH,
                    s_.Divy, yTick);
        // The tick at the origin is labelled once, by the loop above.
        countedLoop(orgH > s_.Windowgy ? s_.Windowgy - shiftH : s_.Yorigin, s_.Windowly - shiftH,
                    -s_.Divy, [&](float y) {
                        if (y != s_.Yorigin)
                            yTick(y);
                        else
                            tick(pic, h({s_.Xorigin, y, zBelow}), vTick, 0, tickZ);
                    });

        // z ticks, likewise.
        const float yLeft = s_.Yorigin - tickY / 2;
        const float hTick = h({s_.Xorigin, yLeft, 0});
        const float shiftV = depth * Projection::depthRatioV(s_);
        const auto zTick = [&](float z) {
            tick(pic, hTick, v({s_.Xorigin, yLeft, z}), tickY, 0);
            if (z != s_.Zorigin)
                tickLabel(view, hTick, v({s_.Xorigin, yLeft, z}), z,
                          Qt::AlignRight | Qt::AlignVCenter);
        };
        countedLoop(orgV < s_.Windowlz ? s_.Windowlz - shiftV : s_.Zorigin, s_.Windowgz - shiftV,
                    s_.Divz, zTick);
        countedLoop(orgV > s_.Windowgz ? s_.Windowgz - shiftV : s_.Zorigin, s_.Windowlz - shiftV,
                    -s_.Divz, zTick);
    }
}

void GuideDrawer::DrawAxes()
{
    color_ = AxisColor;
    const Projection::Point origin{s_.Xorigin, s_.Yorigin, s_.Zorigin};
    for (int view = 0; view < 2; ++view) {
        DrawingSurface* pic = views_[view];

        XAxis axis;
        if (xAxisOnScreen(view, axis))
            pic->line(s_.Windowly, axis.vLeft, s_.Windowgy, axis.vRight, color_);

        const float v = Projection::vertical(s_, origin);
        if (std::isfinite(v)) {
            pic->pset(s_.Windowly, v, color_);
            pic->lineTo(s_.Windowgy, v, color_);
        }

        const float h = Projection::horizontal(s_, view, origin);
        if (std::isfinite(h)) {
            pic->pset(h, s_.Windowlz, color_);
            pic->lineTo(h, s_.Windowgz, color_);
        }
    }
}

void GuideDrawer::DrawOriginMark()
{
    const float depth = s_.Xmid;
    const float hRight = depth * Projection::depthRatioH(s_);
    const float hLeft = depth * Projection::parallaxFor(s_, 0) + hRight;
    const float v = Projection::depthRatioV(s_) * depth;
    for (int view = 0; view < 2; ++view) {
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

void GuideDrawer::DrawAxisLetters()
{
    // Points a fiftieth of the window inside the right view's edges, on the axes through the
    // origin of space; the right view has no parallax of its own, so each point is one place
    // in space and the left view shows it at its depth.
    constexpr int right = 1;
    const float marginY = s_.SpanY / 50.0f;
    const float marginZ = s_.SpanZ / 50.0f;
    const float depth = s_.Xmid - s_.Xorigin;
    const float parallax = Projection::parallaxFor(s_, right);
    const float ratioH = Projection::depthRatioH(s_), ratioV = Projection::depthRatioV(s_);
    std::array<std::pair<Projection::Point, Qt::Alignment>, 3> letters = {{
        {{s_.Xorigin, s_.Yorigin, s_.Zorigin}, Qt::AlignBottom | Qt::AlignLeft},
        {{s_.Xorigin, s_.Windowgy - marginY - depth * (ratioH + parallax), s_.Zorigin},
         Qt::AlignBottom | Qt::AlignRight},
        {{s_.Xorigin, s_.Yorigin, s_.Windowgz - marginZ - depth * ratioV},
         Qt::AlignTop | Qt::AlignLeft},
    }};
    // The largest x whose point of the axis lies inside both views, margins kept: each
    // coordinate, (Xmid - x) r + c, confines x to an interval.
    float xMin = -std::numeric_limits<float>::infinity();
    float xMax = std::numeric_limits<float>::infinity();
    const auto confine = [&](float r, float c, float lo, float hi) {
        const float a = s_.Xmid - (lo - c) / r, b = s_.Xmid - (hi - c) / r;
        xMin = std::max(xMin, std::min(a, b));
        xMax = std::min(xMax, std::max(a, b));
    };
    for (int view = 0; view < 2; ++view)
        confine(s_.RatioYX + Projection::parallaxFor(s_, view), s_.Yorigin, s_.Windowly + marginY,
                s_.Windowgy - marginY);
    confine(s_.RatioZX, s_.Zorigin, s_.Windowlz + marginZ, s_.Windowgz - marginZ);
    // Seen along the depth axis, the x axis has no end to mark.
    const bool xShown = xMin <= xMax && std::isfinite(xMax) && !s_.Options.Look.Orthographic;
    letters[0].first.x = xMax;
    static const QString names[3] = {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
    for (int view = 0; view < 2; ++view) {
        for (int axisIndex = 0; axisIndex < 3; ++axisIndex) {
            if (axisIndex == 0 && !xShown) continue;
            const Projection::Point p = letters[axisIndex].first;
            const float h = Projection::horizontal(s_, view, p);
            const float v = Projection::vertical(s_, p);
            if (finite(h, v))
                labels_.push_back(
                    {view, h, v, names[axisIndex], AxisColor, letters[axisIndex].second});
        }
    }
}
