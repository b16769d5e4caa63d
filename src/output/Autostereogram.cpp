#include "output/Autostereogram.h"

#include "output/SafeWrite.h"
#include "output/StereoLayout.h"
#include "render/BlankSurface.h"
#include "render/DrawHost.h"
#include "render/ImageSurface.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {
constexpr float Background = -std::numeric_limits<float>::infinity();
// The surface's farthest point lies this share of the way from the far end of the range, so
// that its outline stands out from the background.
constexpr double FarShare = 1.0 / 6;
// Random dots take one of 64 colours: four levels of red, green and blue.
constexpr int DotLevels = 4;
} // namespace

Autostereogram::Autostereogram(QSize frame, Viewing viewing)
    : frame_(frame.expandedTo(QSize(1, 1))), viewing_(viewing)
{
    minimum_ = std::max(1, int(std::lround(frame_.width() * 3.0 / 40)));
    maximum_ = std::max(minimum_, int(std::lround(frame_.width() / 10.0)));
}

int Autostereogram::farSeparation() const
{
    return viewing_ == Viewing::Parallel ? maximum_ : minimum_;
}

double Autostereogram::separation(double level) const
{
    const double nearEnd = viewing_ == Viewing::Parallel ? minimum_ : maximum_;
    return farSeparation() + (nearEnd - farSeparation()) * level;
}

void Autostereogram::setPattern(const QImage& tile)
{
    if (tile.isNull()) {
        tile_ = QImage();
        return;
    }
    const int width = farSeparation();
    const int height = std::max(1, int(std::lround(double(tile.height()) * width / tile.width())));
    tile_ = tile.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB32);
}

DrawOptions Autostereogram::depthOptions(DrawOptions options, const SurfaceLook& look)
{
    options.Lines = false;
    options.Dots = false;
    options.Labels = false;
    options.Look = SurfaceLook();
    options.Look.Solid = true;
    options.Look.Orthographic = look.Orthographic;
    return options;
}

std::vector<float> Autostereogram::frameDepth(const ImageSurface& view) const
{
    const int width = frame_.width(), height = frame_.height();
    std::vector<float> depth(std::size_t(width) * std::size_t(height), Background);
    const QSize size = view.image().size();
    const std::span<const float> drawn = view.depths();
    if (drawn.size() != std::size_t(size.width()) * std::size_t(size.height())) return depth;
    // Placed as the viewer's frame places a view.
    const int left = (width - size.width()) / 2, top = (height - size.height()) / 2;
    for (int y = std::max(0, -top); y < size.height() && y + top < height; ++y)
        for (int x = std::max(0, -left); x < size.width() && x + left < width; ++x)
            depth[std::size_t(y + top) * std::size_t(width) + std::size_t(x + left)] =
                drawn[std::size_t(y) * std::size_t(size.width()) + std::size_t(x)];
    return depth;
}

std::vector<float> Autostereogram::depthOf(const CapturedPlot& plot,
                                           const CapturedPlot::Tools& tools,
                                           const SurfaceLook& look) const
{
    const StereoLayout layout(StereoLayout::Mode::Autostereogram, frame_, plot.views[1].size());
    // The left view is not shown: drawn onto a blank.
    BlankSurface left;
    left.setGeometry(0, plot.views[0].width(), plot.views[0].height());
    ImageSurface right;
    layout.prepare(right);
    NullDrawHost none;
    if (!plot.draw({&left, &right}, tools, depthOptions(plot.setup.Options, look), none)) return {};
    return frameDepth(right);
}

QImage Autostereogram::image(std::span<const float> depth, UniformRandom random) const
{
    const int width = frame_.width(), height = frame_.height();
    const bool given = depth.size() == std::size_t(width) * std::size_t(height);
    float low = std::numeric_limits<float>::infinity(), high = -low;
    for (const float d : depth)
        if (std::isfinite(d)) {
            low = std::min(low, d);
            high = std::max(high, d);
        }
    // Separations signed so that smaller is nearer in both viewings; the eyes are twice the
    // largest separation apart.
    const double sign = viewing_ == Viewing::Parallel ? 1 : -1;
    const double eyes = 2.0 * maximum_;
    // The ray's factor t pixels aside: it stops short of the eyes, t < maximum_.
    std::vector<double> spread(static_cast<std::size_t>(maximum_));
    for (int t = 1; t < maximum_; ++t)
        spread[std::size_t(t)] = eyes / (eyes - 2.0 * t);
    std::vector<double> gaps(std::size_t(width), 0.0), signedGaps(std::size_t(width), 0.0);
    std::vector<int> same(static_cast<std::size_t>(width));
    QImage out(frame_, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float d = given ? depth[std::size_t(y) * std::size_t(width) + x] : Background;
            double level = 0;
            if (std::isfinite(d))
                level =
                    high > low ? FarShare + (1 - FarShare) * (d - low) / (double(high) - low) : 1;
            gaps[std::size_t(x)] = separation(level);
            signedGaps[std::size_t(x)] = sign * gaps[std::size_t(x)];
        }
        // Nothing in the row lies nearer than this.
        const double nearest = *std::min_element(signedGaps.cbegin(), signedGaps.cend());
        // Whether nothing nearer lies on either ray from the point over x to the eyes: at t
        // pixels aside, a ray has come as near as the separation `ray`.
        const auto seenByBoth = [&](int x) {
            const double u = signedGaps[std::size_t(x)];
            for (int t = 1; x - t >= 0 && x + t < width && t < maximum_; ++t) {
                const double ray = eyes - (eyes - u) * spread[std::size_t(t)];
                if (ray <= nearest) break;
                if (signedGaps[std::size_t(x - t)] < ray || signedGaps[std::size_t(x + t)] < ray)
                    return false;
            }
            return true;
        };
        // Each pixel points to one on its right of the same colour, or to itself when free.
        std::iota(same.begin(), same.end(), 0);
        for (int x = 0; x < width; ++x) {
            const int gap = int(std::lround(gaps[std::size_t(x)]));
            int left = x - gap / 2, right = left + gap;
            if (left < 0 || right >= width || !seenByBoth(x)) continue;
            // Joins the chains through left and right, keeping every link pointing right.
            for (int k = same[std::size_t(left)]; k != left && k != right;
                 k = same[std::size_t(left)]) {
                if (k < right) {
                    left = k;
                } else {
                    left = right;
                    right = k;
                }
            }
            same[std::size_t(left)] = right;
        }
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const QRgb* tileLine =
            tile_.isNull() ? nullptr
                           : reinterpret_cast<const QRgb*>(tile_.constScanLine(y % tile_.height()));
        for (int x = width - 1; x >= 0; --x) {
            if (same[std::size_t(x)] != x) {
                line[x] = line[same[std::size_t(x)]];
            } else if (tileLine) {
                line[x] = tileLine[x % tile_.width()];
            } else {
                const int c = std::min(int(random.next() * DotLevels * DotLevels * DotLevels),
                                       DotLevels * DotLevels * DotLevels - 1);
                const auto level = [](int i) { return i * 255 / (DotLevels - 1); };
                line[x] = qRgb(level(c % DotLevels), level(c / DotLevels % DotLevels),
                               level(c / (DotLevels * DotLevels)));
            }
        }
    }
    // The fusion marks: black discs ringed in white, the background's separation apart.
    const int radius = std::max(2, maximum_ / 20);
    QPainter p(&out);
    p.setPen(QPen(Qt::white, std::max(1, radius / 3)));
    p.setBrush(Qt::black);
    const int first = (width - farSeparation()) / 2;
    for (const int x : {first, first + farSeparation()})
        p.drawEllipse(QPoint(x, 3 * radius), radius, radius);
    p.end();
    return out;
}

bool Autostereogram::write(const CapturedPlot& plot, const CapturedPlot::Tools& tools,
                           const SurfaceLook& look, const QString& path, const char* format,
                           QString& error) const
{
    const std::vector<float> depth = depthOf(plot, tools, look);
    if (std::none_of(depth.cbegin(), depth.cend(), [](float d) { return std::isfinite(d); })) {
        error = QStringLiteral("Cannot write %1: no part of the surface shows in the right view.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return SafeWrite::writeImage(path, image(depth, plot.random), format, error);
}
