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
//   --sweep NAME=FROM:TO           the user constant NAME moved from FROM to TO in --frames
//   --animate FILE.gif             steps (no default), the right view
//   --animate-anaglyph FILE.gif    the same as anaglyphs
// They draw the captured plot: the turntable turns a copy, so its dots are the same surface
// points in every frame and frame 0 is the still; a sweep's frame is the still with the
// constant's value. Frames are drawn and encoded one at a time.
namespace StereoOutputs {

constexpr int DefaultFrames = 36;

// The bound on an animation's pixels, frames x width x height of the largest views.
constexpr double MaxPixels = 2e9;

// A user constant that moves.
struct Sweep
{
    QString name; // empty: no sweep
    double from = 0;
    double to = 0;

    // Reads NAME=FROM:TO; false for anything else, or FROM equal to TO.
    static bool parse(const QString& text, Sweep& sweep);
    // The constant's value text in frame `k` of `frames`: FROM in the first, TO in the last.
    QString valueAt(int k, int frames) const;
};

// The message for a value that cannot be taken (--frames not a whole number from 1 to 3600,
// a --sweep that is not NAME=FROM:TO), else empty.
QString checkOption(const QString& name, const QString& value);

// The message for options that need another (`names` are the run's options in order), else
// empty: a sweep needs --frames and an --animate output, which needs the sweep.
QString checkTogether(const QStringList& names);

// The message when the plot has no user constant the sweep names, else empty.
QString checkConstant(const CapturedPlot& plot, const Sweep& sweep);

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
    Sweep sweep;
};

// Writes the animation `name` to `path` from `plot`; false with `error`.
bool write(const CapturedPlot& plot, const CapturedPlot::Tools& tools, const QString& name,
           const QString& path, const Animation& how, QString& error);

} // namespace StereoOutputs
