#include "ui/ImageExport.h"

#include "output/SafeWrite.h"
#include "output/StereoImages.h"

#include <QDir>
#include <QFileInfo>

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

constexpr const char* Formats[][2] = {{"PNG", "png"}, {"BMP", "bmp"}};
} // namespace

const QStringList& filters()
{
    static const QStringList list = [] {
        QStringList out;
        for (const Entry& e : Entries)
            for (const auto& f : Formats)
                out << QStringLiteral("%1 (*.%2)").arg(QLatin1String(e.name), QLatin1String(f[1]));
        return out;
    }();
    return list;
}

bool choiceOf(const QString& filter, Choice& choice)
{
    const qsizetype index = filters().indexOf(filter);
    if (index < 0) return false;
    const auto& format = Formats[index % 2];
    choice.kind = Entries[index / 2].kind;
    choice.format = format[0];
    choice.suffix = QLatin1String(format[1]);
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

bool write(const QString& path, const QImage& image, const Choice& choice, QString& error)
{
    return SafeWrite::writeImage(path, image, choice.format, error);
}

} // namespace ImageExport
