#include "app/StereoOutputs.h"

#include "output/GifWriter.h"
#include "output/StereoImages.h"
#include "session/Session.h"
#include "setup/FormFields.h"
#include "setup/NumberText.h"

#include <QFileInfo>

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

const QStringList& optionNames()
{
    static const QStringList names = {QStringLiteral("--pair-parallel"), Wiggle, Turntable,
                                      TurntableAnaglyph, Frames};
    return names;
}

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

QList<QImage> turntableFrames(Session& session, const Animation& how, bool anaglyph)
{
    const QString control = QStringLiteral("txtZrot");
    FormFields& fields = session.fields();
    const QString original = fields.text(control);
    const double start = session.setup().Zrot; // as the plot shown read it
    QList<QImage> images;
    for (int k = 0; k < how.frames; ++k) {
        fields.setText(control, FormatNumber15(start + k * 360.0 / how.frames));
        session.plot();
        const std::array<QImage, 2> views = session.capturedImages(how.scale, how.labels, how.look);
        images.append(anaglyph ? StereoImages::anaglyph(views[0], views[1]) : views[1]);
    }
    fields.setText(control, original);
    session.plot();
    return images;
}

bool write(Session& session, const QString& name, const QString& path, const Animation& how,
           QString& error)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) != 0) {
        error = QStringLiteral("Cannot write %1: an animation is written as .gif").arg(path);
        return false;
    }
    QList<QImage> images;
    if (name == Wiggle) {
        const std::array<QImage, 2> views = session.capturedImages(how.scale, how.labels, how.look);
        images = {views[0], views[1]};
    } else {
        images = turntableFrames(session, how, name == TurntableAnaglyph);
    }
    GifWriter gif(name == Wiggle ? WiggleDelay : TurntableDelay);
    for (const QImage& image : std::as_const(images))
        gif.addFrame(image);
    return gif.write(path, error);
}

} // namespace StereoOutputs
