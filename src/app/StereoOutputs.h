#pragma once

#include "render/CapturedPlot.h"
#include "setup/SurfaceLook.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

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
    // The plot's two views as drawn already at `scale` with these labels and look, when they
    // were (null otherwise): the wiggle shows them instead of drawing them again.
    std::array<QImage, 2> still;
    Sweep sweep;
};

// The views a frame shows: the right one, or both as an anaglyph.
enum class Shown
{
    Right,
    Anaglyph
};

// How frame k of an animation changes the captured plot (a copy made for the animation):
// the turntable turns it, the sweep sets its constant.
using Step = std::function<void(CapturedPlot& plot, int k)>;

// Draws `frames` frames of `plot`, frame k after `step(copy, k)`, with `options` at pixel
// `scale`, only the views `shown`, and hands each frame to `add` as it is made. False when a
// drawing stopped before its end.
bool drawFrames(const CapturedPlot& plot, const CapturedPlot::Tools& tools,
                const DrawOptions& options, double scale, int frames, Shown shown, const Step& step,
                const std::function<void(const QImage&)>& add);

// Writes the animation `name` to `path` from `plot`; false with `error`.
bool write(const CapturedPlot& plot, const CapturedPlot::Tools& tools, const QString& name,
           const QString& path, const Animation& how, QString& error);

} // namespace StereoOutputs
