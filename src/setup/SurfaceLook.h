#pragma once

#include <QString>

// How an output shows the surface beyond what the window's fields say: hidden lines, a solid
// surface, lines coloured by height or depth, an equal-scale orthographic projection. Asked
// for by the command line, the stereo viewer and Save image, never read from a control, so
// the window's views are drawn without them.
struct SurfaceLook
{
    enum class Colour
    {
        None,
        Height,
        Depth
    };

    bool Hidden = false; // lines and dots behind the surface left out
    bool Solid = false;  // the surface filled, shaded, with its lines on top
    Colour Colouring = Colour::None;
    bool Orthographic = false; // along the depth axis, one scale on x, y and z

    // The colour's name on the command line (none, height, depth), and back; false for
    // another name.
    static QString colourName(Colour colour);
    static bool colourFromName(const QString& name, Colour& colour);
    // The projection's name (oblique, orthographic), and back.
    QString projectionName() const;
    bool setProjection(const QString& name);

    // Whether the surface must be sampled as a grid before its lines are drawn.
    bool needsModel() const { return Hidden || Solid || Colouring != Colour::None; }
    bool operator==(const SurfaceLook&) const = default;
};
