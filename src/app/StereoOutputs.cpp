#include "app/StereoOutputs.h"

#include "eval/UserConstants.h"
#include "output/GifWriter.h"
#include "output/StereoImages.h"
#include "render/BlankSurface.h"
#include "render/ImageSurface.h"
#include "setup/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

namespace StereoOutputs {

namespace {
const QString Wiggle = QStringLiteral("--wiggle");
const QString Turntable = QStringLiteral("--turntable");
const QString TurntableAnaglyph = QStringLiteral("--turntable-anaglyph");
const QString Frames = QStringLiteral("--frames");
const QString SweepOption = QStringLiteral("--sweep");
const QString Animate = QStringLiteral("--animate");
const QString AnimateAnaglyph = QStringLiteral("--animate-anaglyph");
constexpr int MaxFrames = 3600;

// Hundredths of a second per frame: the wiggle about 6 frames a second, the turntable a
// turn in about 3 seconds at the default count.
constexpr int WiggleDelay = 17;
constexpr int TurntableDelay = 8;
// A sweep lasts about 3 seconds, at most half a second a frame.
constexpr int SweepTime = 300;
constexpr int SweepMaxDelay = 50;
} // namespace

bool Sweep::parse(const QString& text, Sweep& sweep)
{
    const QString name = UserConstants::nameOf(text);
    const QStringList ends = text.mid(name.size() + 1).split(QLatin1Char(':'));
    Sweep s{name};
    if (name.isEmpty() || ends.size() != 2 || !ParseCompleteNumber(ends[0], s.from) ||
        !ParseCompleteNumber(ends[1], s.to) || s.from == s.to)
        return false;
    sweep = s;
    return true;
}

QString Sweep::valueAt(int k, int frames) const
{
    if (frames < 2 || k <= 0) return FormatNumber15(from);
    return FormatNumber15(k >= frames - 1 ? to : from + (to - from) * k / (frames - 1));
}

QString checkOption(const QString& name, const QString& value)
{
    Sweep sweep;
    if (name == SweepOption && !Sweep::parse(value, sweep))
        return QStringLiteral("--sweep takes NAME=FROM:TO, a user constant's name and two "
                              "different numbers (k=1:6), not '%1'")
            .arg(value);
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
    return name == Wiggle || name == Turntable || name == TurntableAnaglyph || name == Animate ||
           name == AnimateAnaglyph;
}

QString checkTogether(const QStringList& names)
{
    const bool animates = names.contains(Animate) || names.contains(AnimateAnaglyph);
    if (names.count(SweepOption) > 1) return QStringLiteral("--sweep can be given once only");
    if (animates && !names.contains(SweepOption))
        return QStringLiteral("%1 needs --sweep NAME=FROM:TO, the constant that moves")
            .arg(names.contains(Animate) ? Animate : AnimateAnaglyph);
    if (!names.contains(SweepOption)) return {};
    if (!animates)
        return QStringLiteral("--sweep needs --animate FILE.gif or --animate-anaglyph FILE.gif");
    if (!names.contains(Frames))
        return QStringLiteral("--sweep needs --frames N, the number of frames");
    return {};
}

QString checkConstant(const CapturedPlot& plot, const Sweep& sweep)
{
    if (sweep.name.isEmpty() || UserConstants::indexOfName(plot.constants, sweep.name) >= 0)
        return {};
    QStringList names;
    for (const QString& c : plot.constants)
        names << UserConstants::nameOf(c);
    return names.isEmpty()
               ? QStringLiteral("--sweep: there is no user constant '%1': the plot has none "
                                "(add one with --constant or --open a setup that has some)")
                     .arg(sweep.name)
               : QStringLiteral("--sweep: there is no user constant '%1'; the plot's are %2")
                     .arg(sweep.name, names.join(QStringLiteral(", ")));
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
    const bool sweep = name == Animate || name == AnimateAnaglyph;
    if (sweep) {
        error = how.sweep.name.isEmpty() ? QStringLiteral("%1 needs --sweep").arg(name)
                                         : checkConstant(plot, how.sweep);
        if (!error.isEmpty()) return false;
    }
    DrawOptions options = plot.setup.Options;
    options.Labels = how.labels;
    options.Look = how.look;
    std::unique_ptr<GifWriter> gif;
    const int delay = name == Wiggle ? WiggleDelay
                      : sweep ? std::clamp(SweepTime / how.frames, TurntableDelay, SweepMaxDelay)
                              : TurntableDelay;
    // Each frame is encoded on a second thread while the next one is drawn.
    std::thread encoder;
    const auto encoded = [&encoder] {
        if (encoder.joinable()) encoder.join();
    };
    auto add = [&](const QImage& frame) {
        encoded();
        if (!gif) gif = std::make_unique<GifWriter>(delay, frame.size(), path);
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
        // Frame k: the plot turned by k steps, or with the constant's k-th value.
        const double start = plot.setup.Zrot;
        const int frames = how.frames;
        Step step = [start, frames](CapturedPlot& turned, int k) {
            turned.setup.Zrot = float(start + k * 360.0 / frames);
        };
        if (sweep)
            step = [&moved = how.sweep, frames](CapturedPlot& changed, int k) {
                changed.setConstant(moved.name, moved.valueAt(k, frames));
            };
        const bool anaglyph = name == TurntableAnaglyph || name == AnimateAnaglyph;
        drawFrames(plot, tools, options, how.scale, frames,
                   anaglyph ? Shown::Anaglyph : Shown::Right, step, add);
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
