#include "render/Projection.h"

#include <algorithm>

namespace Projection {

ViewWindow viewWindow(const PlotSetup& s, int width, int height)
{
    ViewWindow w{s.Windowly, s.Windowgz, s.Windowgy, s.Windowlz};
    if (!s.Options.Look.Orthographic || width <= 0 || height <= 0) return w;
    const double shift =
        std::max(std::fabs(double(parallaxFor(s, 0))), std::fabs(double(parallaxFor(s, 1)))) *
        std::fabs(double(s.SpanX)) / 2;
    const double spanH = std::fabs(double(s.Windowgy) - s.Windowly) + 2 * shift;
    const double spanV = std::fabs(double(s.Windowgz) - s.Windowlz);
    const double unit = std::max(spanH / width, spanV / height); // user units per pixel
    if (!(unit > 0) || !std::isfinite(unit)) return w;
    const double midH = (double(s.Windowly) + s.Windowgy) / 2;
    const double midV = (double(s.Windowlz) + s.Windowgz) / 2;
    w.x1 = float(midH - unit * width / 2);
    w.x2 = float(midH + unit * width / 2);
    w.y1 = float(midV + unit * height / 2);
    w.y2 = float(midV - unit * height / 2);
    return w;
}

} // namespace Projection
