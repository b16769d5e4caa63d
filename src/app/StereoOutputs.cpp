#include "app/StereoOutputs.h"

#include "output/GifWriter.h"
#include "output/StereoImages.h"
#include "render/ImageSurface.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <memory>

namespace StereoOutputs {

namespace {
const QString Wiggle = QStringLiteral("--wiggle");
const QString Turntable = QStringLiteral("--turntable");
const QString TurntableAnaglyph = QStringLiteral("--turntable-anaglyph");
const QString Frames = QStringLiteral("--frames");
constexpr int MaxFrames = 3600;

// Hundredths of a second per frame: the wiggle about 6 frames a second, the turntable a
// turn in about 3 seconds at the default count.
constexpr int WiggleDelay = 17;
constexpr int TurntableDelay = 8;
} // namespace

QString checkOption(const QString& name, const QString& value)
{
    if (name != Frames) return {};
    bool ok = false;
    const int n = value.toInt(&ok);
    if (ok && n >= 1 && n <= MaxFrames) return {};
    return QStringLiteral("--frames takes a whole number from 1 to %1, not '%2'")
        .arg(MaxFrames)
        .arg(value);
}

bool isOutput(const QString& name)
{
    return name == Wiggle || name == Turntable || name == TurntableAnaglyph;
}

QString checkSize(const QString& name, int frames, double scale, QSize design)
{
    const double count = name == Wiggle ? 2 : frames;
    const double pixels =
        count * std::round(design.width() * scale) * std::round(design.height() * scale);
    if (!isOutput(name) || pixels <= MaxPixels) return {};
    return QStringLiteral("%1: %2 frames of %3 x %4 pixels exceed the bound of %5 pixels for an "
                          "animation; use fewer frames or a smaller --scale")
        .arg(name)
        .arg(count)
        .arg(std::round(design.width() * scale))
        .arg(std::round(design.height() * scale))
        .arg(QLocale::c().toString(qlonglong(MaxPixels)));
}

bool write(const CapturedPlot& plot, const CapturedPlot::Tools& tools, const QString& name,
           const QString& path, const Animation& how, QString& error)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("Cannot write %1: an animation is written as .gif").arg(path);
        return false;
    }
    DrawOptions options = plot.setup.Options;
    options.Labels = how.labels;
    options.Look = how.look;
    // One pair of surfaces for every frame: each drawing fills them with the background.
    ImageSurface left(0, 0, 0, how.scale), right(0, 0, 0, how.scale);
    std::unique_ptr<GifWriter> gif;
    auto add = [&](const QImage& frame) {
        if (!gif)
            gif = std::make_unique<GifWriter>(name == Wiggle ? WiggleDelay : TurntableDelay,
                                              frame.size(), path);
        gif->addFrame(frame);
    };
    if (name == Wiggle) {
        if (plot.drawAtViewSize(left, right, tools, options)) {
            add(left.image());
            add(right.image());
        }
    } else {
        CapturedPlot turned = plot;
        const double start = plot.setup.Zrot;
        for (int k = 0; k < how.frames; ++k) {
            turned.setup.Zrot = float(start + k * 360.0 / how.frames);
            if (!turned.drawAtViewSize(left, right, tools, options)) break;
            add(name == TurntableAnaglyph ? StereoImages::anaglyph(left.image(), right.image())
                                          : right.image());
        }
    }
    if (!gif) {
        error = QStringLiteral("Cannot write %1: there is no plot to draw.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return gif->write(path, error);
}

} // namespace StereoOutputs
