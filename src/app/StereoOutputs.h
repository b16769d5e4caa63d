#pragma once

#include "render/CapturedPlot.h"
#include "setup/SurfaceLook.h"

#include <QString>
#include <QStringList>

// The command line's animated stereo outputs, written after the plot:
//   --wiggle FILE.gif              the two views in turn, about 6 a second
//   --turntable FILE.gif           the surface turned once about the z axis, the right view
//   --turntable-anaglyph FILE.gif  the same as anaglyphs
//   --frames N                     the turntable's number of steps (36 by default)
// They draw the captured plot: the turntable turns a copy, so its dots are the same surface
// points in every frame and frame 0 is the still. Frames are drawn and encoded one at a time.
namespace StereoOutputs {

constexpr int DefaultFrames = 36;

// The bound on an animation's pixels, frames x width x height of the largest views.
constexpr double MaxPixels = 2e9;

// The message for a value that cannot be taken (--frames not a whole number from 1 to 3600),
// else empty.
QString checkOption(const QString& name, const QString& value);

// The message when the animation `name` of `frames` frames at `scale` could exceed MaxPixels
// (views at most `design` window pixels), else empty.
QString checkSize(const QString& name, int frames, double scale, QSize design);

// Whether `name` is one of the animations written after the plot.
bool isOutput(const QString& name);

// How the animations are drawn: the turntable's steps, and the views drawn anew at `scale`
// (1 to 16), with labels and the surface's look when asked.
struct Animation
{
    int frames = DefaultFrames;
    double scale = 1;
    bool labels = false;
    SurfaceLook look;
};

// Writes the animation `name` to `path` from `plot`; false with `error`.
bool write(const CapturedPlot& plot, const CapturedPlot::Tools& tools, const QString& name,
           const QString& path, const Animation& how, QString& error);

} // namespace StereoOutputs
