#include "ui/ImageExport.h"

#include "output/SetupFile.h"
#include "output/StereoImages.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>

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
    {"Stereo pair", Kind::Pair},
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
    case Kind::Anaglyph:
        return StereoImages::anaglyph(left, right);
    }
    return {};
}

bool write(const QString& path, const QImage& image, const Choice& choice, QString& error)
{
    if (image.isNull()) {
        error = QStringLiteral("Cannot write %1: the view has no picture.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        error = SetupFile::WriteFailure(path, file.errorString());
        return false;
    }
    if (!image.convertToFormat(QImage::Format_RGB32).save(&file, choice.format)) {
        error = SetupFile::WriteFailure(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        error = SetupFile::WriteFailure(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace ImageExport
