#include "ui/ImageExport.h"

#include "output/PlotExport.h"
#include "output/SafeWrite.h"
#include "output/StereoImages.h"
#include "render/ImageSurface.h"
#include "session/Session.h"
#include "setup/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <QList>
#include <utility>
#include <vector>

namespace ImageExport {

namespace {
struct Entry
{
    const char* name;
    Kind kind;
};

constexpr Entry Entries[] = {
    {"Left view", Kind::LeftView},
    {"Right view", Kind::RightView},
    {"Stereo pair, cross-eyed", Kind::Pair},
    {"Stereo pair, parallel", Kind::ParallelPair},
    {"Anaglyph", Kind::Anaglyph},
};

constexpr const char* Formats[][2] = {{"PNG", "png"}, {"BMP", "bmp"}, {"SVG", "svg"}};

// Every filter with the choice it stands for; the anaglyph is a raster image only.
const std::vector<std::pair<QString, Choice>>& table()
{
    static const std::vector<std::pair<QString, Choice>> list = [] {
        std::vector<std::pair<QString, Choice>> out;
        for (const Entry& e : Entries)
            for (const auto& f : Formats) {
                if (e.kind == Kind::Anaglyph && QLatin1String(f[1]) == QLatin1String("svg"))
                    continue;
                out.emplace_back(
                    QStringLiteral("%1 (*.%2)").arg(QLatin1String(e.name), QLatin1String(f[1])),
                    Choice{e.kind, f[0], QLatin1String(f[1])});
            }
        return out;
    }();
    return list;
}
} // namespace

const QStringList& filters()
{
    static const QStringList list = [] {
        QStringList out;
        for (const auto& entry : table())
            out << entry.first;
        return out;
    }();
    return list;
}

bool choiceOf(const QString& filter, Choice& choice)
{
    const qsizetype index = filters().indexOf(filter);
    if (index < 0) return false;
    choice = table()[size_t(index)].second;
    return true;
}

QString withSuffix(const QString& path, const Choice& choice)
{
    if (!QFileInfo(path).suffix().isEmpty()) return path;
    return path + QLatin1Char('.') + choice.suffix;
}

QImage image(Kind kind, const QImage& left, const QImage& right)
{
    switch (kind) {
    case Kind::LeftView:
        return left;
    case Kind::RightView:
        return right;
    case Kind::Pair:
        return StereoImages::pair(left, right);
    case Kind::ParallelPair:
        return StereoImages::parallelPair(left, right);
    case Kind::Anaglyph:
        return StereoImages::anaglyph(left, right);
    }
    return {};
}

double scaleOf(const QString& text)
{
    QString number = text.trimmed();
    if (number.endsWith(QChar(0xD7)) || number.endsWith(QLatin1Char('x'), Qt::CaseInsensitive))
        number.chop(1);
    double k = 0;
    if (!ParseCompleteNumber(number, k) || !(k >= 1 && k <= ImageSurface::MaxPixelScale)) return 0;
    return k;
}

bool save(Session& session, const QString& path, const Choice& choice, const Options& options,
          QString& error)
{
    const CapturedPlot plot = session.capturedPlot();
    const PlotExport exporter(plot, session.plotTools(), options.labels, options.look);
    if (choice.suffix == QLatin1String("svg")) {
        const int first = choice.kind == Kind::RightView || choice.kind == Kind::ParallelPair;
        const bool pair = choice.kind == Kind::Pair || choice.kind == Kind::ParallelPair;
        const QByteArray svg =
            exporter.svg(pair ? QList<int>{first, 1 - first} : QList<int>{first}, options.scale);
        if (svg.isEmpty()) {
            error = QStringLiteral("Cannot write %1: there is no plot to draw as SVG.")
                        .arg(QDir::toNativeSeparators(path));
            return false;
        }
        return SafeWrite::writeBytes(path, svg, error);
    }
    std::array<QImage, 2> views = exporter.images(options.scale);
    if (views[0].isNull()) views = {session.viewImage(0), session.viewImage(1)};
    return SafeWrite::writeImage(path, image(choice.kind, views[0], views[1]), choice.format,
                                 error);
}

} // namespace ImageExport
