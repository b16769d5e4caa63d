#include "app/StereoOutputs.h"

#include "output/GifWriter.h"
#include "output/StereoImages.h"
#include "render/BlankSurface.h"
#include "render/ImageSurface.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <cmath>
#include <memory>
#include <thread>

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

bool drawFrames(const CapturedPlot& plot, const CapturedPlot::Tools& tools,
                const DrawOptions& options, double scale, int frames, Shown shown, const Step& step,
                const std::function<void(const QImage&)>& add)
{
    // One pair of surfaces for every frame: each drawing fills them with the background. A
    // view no frame shows is drawn onto a blank.
    ImageSurface right(0, 0, 0, scale);
    BlankSurface blank;
    std::unique_ptr<ImageSurface> left;
    if (shown == Shown::Anaglyph) left = std::make_unique<ImageSurface>(0, 0, 0, scale);
    DrawingSurface& leftView = left ? static_cast<DrawingSurface&>(*left) : blank;
    CapturedPlot changed = plot;
    for (int k = 0; k < frames; ++k) {
        step(changed, k);
        if (!changed.drawAtViewSize(leftView, right, tools, options)) return false;
        add(left ? StereoImages::anaglyph(left->image(), right.image()) : right.image());
    }
    return true;
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
    std::unique_ptr<GifWriter> gif;
    // Each frame is encoded on a second thread while the next one is drawn.
    std::thread encoder;
    const auto encoded = [&encoder] {
        if (encoder.joinable()) encoder.join();
    };
    auto add = [&](const QImage& frame) {
        encoded();
        if (!gif)
            gif = std::make_unique<GifWriter>(name == Wiggle ? WiggleDelay : TurntableDelay,
                                              frame.size());
        encoder = std::thread([writer = gif.get(), frame] { writer->addFrame(frame); });
    };
    if (name == Wiggle) {
        std::array<QImage, 2> views = how.still;
        ImageSurface left(0, 0, 0, how.scale), right(0, 0, 0, how.scale);
        if (views[0].isNull() && plot.drawAtViewSize(left, right, tools, options))
            views = {left.image(), right.image()};
        if (!views[0].isNull()) {
            add(views[0]);
            add(views[1]);
        }
    } else {
        const double start = plot.setup.Zrot;
        const int frames = how.frames;
        drawFrames(
            plot, tools, options, how.scale, frames,
            name == TurntableAnaglyph ? Shown::Anaglyph : Shown::Right,
            [start, frames](CapturedPlot& turned, int k) {
                turned.setup.Zrot = float(start + k * 360.0 / frames);
            },
            add);
    }
    encoded();
    if (!gif) {
        error = QStringLiteral("Cannot write %1: there is no plot to draw.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return gif->write(path, error);
}

} // namespace StereoOutputs
