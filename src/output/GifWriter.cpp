#include "output/GifWriter.h"

#include "output/SafeWrite.h"

#include <QDir>
#include <QIODevice>
#include <algorithm>
#include <gif_lib.h>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::size_t MaxColours = 256;

// 0xRRGGBB of every pixel, row by row.
std::vector<QRgb> pixelsOf(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> out;
    out.reserve(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            out.push_back(line[x] & 0xFFFFFFu);
    }
    return out;
}

// The nearest colour of the 6 x 6 x 6 cube (levels 0, 51, ..., 255).
QRgb cubeColour(QRgb c)
{
    auto level = [](int v) { return (v * 5 + 127) / 255 * 51; };
    return qRgb(level(qRed(c)), level(qGreen(c)), level(qBlue(c))) & 0xFFFFFFu;
}

void addColours(const std::vector<QRgb>& pixels, std::vector<QRgb>& colours)
{
    colours.insert(colours.end(), pixels.begin(), pixels.end());
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
}

struct MapDeleter
{
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// A giflib colour map of the sorted colours, padded with black to a power of two entries.
ColourMap makeMap(const std::vector<QRgb>& colours)
{
    const int size = 1 << GifBitSize(int(std::max<std::size_t>(colours.size(), 2)));
    std::vector<GifColorType> entries(std::size_t(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        entries[i] = {GifByteType(qRed(colours[i])), GifByteType(qGreen(colours[i])),
                      GifByteType(qBlue(colours[i]))};
    return ColourMap(GifMakeMapObject(size, entries.data()));
}

int appendOutput(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct Frame
{
    int width = 0;
    int height = 0;
    std::vector<QRgb> pixels;
    std::vector<QRgb> colours; // sorted
};

// Writes the frames; the file is closed (and giflib's state freed) by the caller.
bool putFrames(GifFileType* gif, const std::vector<Frame>& frames, const std::vector<QRgb>& global,
               int delay)
{
    int width = 0, height = 0;
    for (const Frame& f : frames) {
        width = std::max(width, f.width);
        height = std::max(height, f.height);
    }
    EGifSetGifVersion(gif, true);
    const ColourMap screenMap = global.empty() ? nullptr : makeMap(global);
    if (EGifPutScreenDesc(gif, width, height, 8, 0, screenMap.get()) == GIF_ERROR) return false;

    // Loop for ever.
    static const GifByteType appName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType loop[] = {1, 0, 0};
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof appName, appName) == GIF_ERROR ||
        EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif) == GIF_ERROR)
        return false;

    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay, NO_TRANSPARENT_COLOR};
    GifByteType controlBytes[4];
    EGifGCBToExtension(&control, controlBytes);
    for (const Frame& f : frames) {
        const std::vector<QRgb>& palette = global.empty() ? f.colours : global;
        const ColourMap localMap = global.empty() ? makeMap(palette) : nullptr;
        std::unordered_map<QRgb, GifPixelType> index;
        for (std::size_t i = 0; i < palette.size(); ++i)
            index.emplace(palette[i], GifPixelType(i));
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, controlBytes) == GIF_ERROR ||
            EGifPutImageDesc(gif, 0, 0, f.width, f.height, false, localMap.get()) == GIF_ERROR)
            return false;
        std::vector<GifPixelType> line(std::size_t(f.width));
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x)
                line[std::size_t(x)] = index.at(f.pixels[std::size_t(y * f.width + x)]);
            if (EGifPutLine(gif, line.data(), f.width) == GIF_ERROR) return false;
        }
    }
    return true;
}

} // namespace

GifWriter::GifWriter(int delay) : delay_(delay) {}

void GifWriter::addFrame(const QImage& frame)
{
    frames_.append(frame);
}

QByteArray GifWriter::encode(QString& error) const
{
    std::vector<Frame> frames;
    std::vector<QRgb> all;
    for (const QImage& image : frames_) {
        Frame f{image.width(), image.height(), pixelsOf(image), {}};
        addColours(f.pixels, f.colours);
        if (f.colours.size() > MaxColours) {
            std::transform(f.pixels.begin(), f.pixels.end(), f.pixels.begin(), cubeColour);
            f.colours.clear();
            addColours(f.pixels, f.colours);
        }
        if (all.size() <= MaxColours) addColours(f.colours, all);
        frames.push_back(std::move(f));
    }
    if (all.size() > MaxColours) all.clear(); // a palette per frame

    QByteArray bytes;
    int code = 0;
    GifFileType* gif = EGifOpen(&bytes, appendOutput, &code);
    bool ok = gif && putFrames(gif, frames, all, delay_);
    if (gif && !ok) code = gif->Error;
    int closeCode = 0;
    if (gif && EGifCloseFile(gif, &closeCode) == GIF_ERROR && ok) {
        ok = false;
        code = closeCode;
    }
    if (!ok) {
        const char* text = GifErrorString(code);
        error = QStringLiteral("The GIF could not be made: %1.")
                    .arg(text ? QString::fromLatin1(text) : QString::number(code));
        bytes.clear();
    }
    return bytes;
}

bool GifWriter::write(const QString& path, QString& error) const
{
    QString encodeError;
    const QByteArray bytes = encode(encodeError);
    if (bytes.isEmpty()) {
        error =
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), encodeError);
        return false;
    }
    return SafeWrite::writeFile(
        path, [&](QIODevice& device) { return device.write(bytes) == bytes.size(); }, error);
}
