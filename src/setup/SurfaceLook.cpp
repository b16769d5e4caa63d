#include "setup/SurfaceLook.h"

#include <array>
#include <utility>

namespace {
const std::array<std::pair<SurfaceLook::Colour, QString>, 3> ColourNames = {{
    {SurfaceLook::Colour::None, QStringLiteral("none")},
    {SurfaceLook::Colour::Height, QStringLiteral("height")},
    {SurfaceLook::Colour::Depth, QStringLiteral("depth")},
}};
const QString Oblique = QStringLiteral("oblique");
const QString Orthographic = QStringLiteral("orthographic");
} // namespace

QString SurfaceLook::colourName(Colour colour)
{
    for (const auto& [c, name] : ColourNames)
        if (c == colour) return name;
    return {};
}

bool SurfaceLook::colourFromName(const QString& name, Colour& colour)
{
    for (const auto& [c, text] : ColourNames)
        if (text == name) {
            colour = c;
            return true;
        }
    return false;
}

QString SurfaceLook::projectionName() const
{
    return Orthographic ? ::Orthographic : Oblique;
}

bool SurfaceLook::setProjection(const QString& name)
{
    if (name != Oblique && name != ::Orthographic) return false;
    Orthographic = name == ::Orthographic;
    return true;
}
