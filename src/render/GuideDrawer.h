#pragma once

#include "render/DrawingSurface.h"
#include "setup/PlotSetup.h"

#include <QString>
#include <array>
#include <vector>

// The guides of a plot, drawn into both views before the surface: the frame and the dotted
// reference lines fixed to the screen window, and the projected division ticks, axes and mark
// at the origin of space. Expects the views scaled to the setup's window; the tick colour
// follows the captured background option.
class GuideDrawer
{
public:
    // A loop that would draw more strokes than this in one direction draws none: at that
    // density the strokes cover the view and cannot be told apart.
    static constexpr int MaxStrokesPerLoop = 10000;

    static constexpr quint32 FrameColor = 0xC0C0;
    static constexpr quint32 ReferenceColor = 0xC0C000;
    static constexpr quint32 TickColorOnWhite = 0x8000;
    static constexpr quint32 TickColorOnBlack = 0xFF00;
    static constexpr quint32 AxisColor = 0xFF;

    GuideDrawer(const PlotSetup& setup, std::array<DrawingSurface*, 2> views);

    // Frames, reference lines, divisions, axes, origin mark, in this order. With the setup's
    // Labels option the tick values and the axis letters are kept for DrawLabels.
    void drawAll();
    // The labels kept since the last call, drawn after the surface so that it does not cross
    // them.
    void DrawLabels();

    void DrawFrames();
    void DrawReferenceLines();
    void DrawDivisions();
    void DrawAxes();
    void DrawOriginMark();
    // The letters x, y and z near the positive ends of the axes, at points of the axes inside
    // the right view, each kept for both views with that view's parallax.
    void DrawAxisLetters();

    // Strokes a counted loop For v = start To end Step step would make, or -1 when there are
    // more than MaxStrokesPerLoop, infinitely many, or the bounds are not numbers.
    static qint64 loopCount(float start, float end, float step);

private:
    struct XAxis
    {
        float hA = 0, vA = 0, hB = 0, vB = 0;
        float vLeft = 0, vRight = 0; // heights where the axis meets the left and right edges
    };

    // The x axis of view `view`; false when it is vertical on screen (no slope) or its
    // crossings with the edges are not finite.
    bool xAxisOnScreen(int view, XAxis& axis);

    // For v = start To end Step step in single precision, with end and step fixed at entry;
    // skipped when loopCount refuses it.
    template <typename Body> static void countedLoop(float start, float end, float step, Body body);

    void tick(DrawingSurface* view, float x, float y, float dx, float dy);
    struct Label
    {
        int view;
        float x, y;
        QString text;
        quint32 color;
        Qt::Alignment align;
    };
    // Keeps the value of a tick of `view` at (x, y) when labels are asked for.
    void tickLabel(int view, float x, float y, float value, Qt::Alignment align);

    const PlotSetup& s_;
    std::array<DrawingSurface*, 2> views_;
    float pixelY_ = 0, pixelZ_ = 0; // one pixel of the left view in user units
    quint32 color_ = 0;
    std::vector<Label> labels_;
};
