#pragma once

#include "render/CapturedPlot.h"
#include "render/UniformRandom.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <span>
#include <vector>

class ImageSurface;
struct SurfaceLook;

// A single-image random-dot stereogram of the surface as the right view shows it. In each row
// the pixels are linked in pairs that must share a colour, a separation apart: for parallel
// (wall-eyed) viewing the separation shrinks as the surface comes nearer, for crossed eyes it
// grows, so near is near in both. The separation runs from minimumSeparation() to
// maximumSeparation(), 3/40 and 1/10 of the frame's width; the surface's nearest point lies at
// one end, its farthest a sixth of the way from the other, and the background at the far end.
// A pair is linked only where both eyes see its point: a part of the surface in front of the
// ray to either eye leaves it free. Free pixels take random dots or a tiled pattern; two marks
// at the top, the background's separation apart, help the eyes converge.
//
//     Autostereogram stereogram(QSize(1200, 800), Autostereogram::Viewing::Parallel);
//     const std::vector<float> depth = stereogram.depthOf(plot, tools, look);
//     const QImage image = stereogram.image(depth, plot.random);
class Autostereogram
{
public:
    enum class Viewing
    {
        Parallel,
        Cross
    };

    static constexpr QSize DefaultFrame{1200, 800};

    Autostereogram(QSize frame, Viewing viewing);

    QSize frame() const { return frame_; }
    int minimumSeparation() const { return minimum_; }
    int maximumSeparation() const { return maximum_; }
    // The background's separation: the maximum for parallel viewing, the minimum for crossed.
    int farSeparation() const;

    // Free pixels take `tile` (scaled to the background's separation across, repeated over the
    // frame) instead of random dots; a null image gives random dots again.
    void setPattern(const QImage& tile);

    // What a drawing of the plot needs for its depth: the solid surface alone (no lines, dots,
    // labels or colour), in the look's projection.
    static DrawOptions depthOptions(DrawOptions options, const SurfaceLook& look);

    // The depth of every frame pixel, row by row (greater nearer, -infinity for the background):
    // that of `view`, drawn with depthOptions(), centred in the frame.
    std::vector<float> frameDepth(const ImageSurface& view) const;
    // The plot's right view drawn for the frame, and its frameDepth().
    std::vector<float> depthOf(const CapturedPlot& plot, const CapturedPlot::Tools& tools,
                               const SurfaceLook& look) const;

    // The stereogram of a frame's depth; random dots come from `random`.
    QImage image(std::span<const float> depth, UniformRandom random) const;

    // The stereogram of the plot written to `path` as `format` ("PNG", "BMP"); false with
    // `error`, also when the surface shows nowhere in the view.
    bool write(const CapturedPlot& plot, const CapturedPlot::Tools& tools, const SurfaceLook& look,
               const QString& path, const char* format, QString& error) const;

private:
    // The separation at `level`, 0 for the far end to 1 for the near one.
    double separation(double level) const;

    QSize frame_;
    Viewing viewing_;
    int minimum_ = 1, maximum_ = 1;
    QImage tile_;
};
