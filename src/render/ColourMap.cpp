#include "render/ColourMap.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ColourMap {

namespace {
// The map at nine evenly spaced shares, as red, green, blue.
constexpr std::array<std::array<int, 3>, 9> Stops = {{{68, 1, 84},
                                                      {71, 45, 123},
                                                      {59, 82, 139},
                                                      {44, 114, 142},
                                                      {33, 145, 140},
                                                      {40, 174, 128},
                                                      {94, 201, 98},
                                                      {173, 220, 48},
                                                      {253, 231, 37}}};

quint32 rgb(int r, int g, int b)
{
    return quint32(r) | quint32(g) << 8 | quint32(b) << 16;
}
} // namespace

quint32 viridis(double t)
{
    if (!(t > 0)) t = 0;
    if (t > 1) t = 1;
    const double at = t * (Stops.size() - 1);
    const std::size_t i = std::min(std::size_t(at), Stops.size() - 2);
    const double f = at - double(i);
    int c[3];
    for (int k = 0; k < 3; ++k)
        c[k] = int(std::lround(Stops[i][k] + (Stops[i + 1][k] - Stops[i][k]) * f));
    return rgb(c[0], c[1], c[2]);
}

quint32 scaled(quint32 color, double factor)
{
    if (!(factor > 0)) factor = 0;
    if (factor > 1) factor = 1;
    const auto channel = [&](int shift) {
        return int(std::lround(double((color >> shift) & 0xFF) * factor));
    };
    return rgb(channel(0), channel(8), channel(16));
}

} // namespace ColourMap
