#pragma once

#include "setup/SurfaceLook.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class Session;

// The command line's animated stereo outputs, written after the plot:
//   --wiggle FILE.gif              the two views in turn, about 6 a second
//   --turntable FILE.gif           the surface turned once about the z axis, the right view
//   --turntable-anaglyph FILE.gif  the same as anaglyphs
//   --frames N                     the turntable's number of steps (36 by default)
// They drive the session as the window's user would: set a field, plot.
namespace StereoOutputs {

constexpr int DefaultFrames = 36;

// The valued options above, and --pair-parallel (the pair with the views swapped).
const QStringList& optionNames();

// The message for a value that cannot be taken (--frames not a whole number from 1 to 3600),
// else empty.
QString checkOption(const QString& name, const QString& value);

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

// The turntable's frames: txtZrot set to start + k * 360 / frames for k = 0 ... frames - 1,
// start being the Zrot of the plot shown, and each plot's right view or anaglyph. The field's
// text is put back and plotted again afterwards.
QList<QImage> turntableFrames(Session& session, const Animation& how, bool anaglyph);

// Writes the animation `name` to `path` from the plot shown; false with `error`.
bool write(Session& session, const QString& name, const QString& path, const Animation& how,
           QString& error);

} // namespace StereoOutputs
