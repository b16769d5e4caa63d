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
constexpr qsizetype StreamedPiece = 1 << 16;

struct MapDeleter
{
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColourMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// A giflib colour map of the colours, padded with black to a power of two entries.
ColourMap makeMap(const std::vector<QRgb>& colours)
{
    const int size = 1 << GifBitSize(int(std::max<std::size_t>(colours.size(), 2)));
    std::vector<GifColorType> entries(std::size_t(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours.size(); ++i)
        entries[i] = {GifByteType(qRed(colours[i])), GifByteType(qGreen(colours[i])),
                      GifByteType(qBlue(colours[i]))};
    return ColourMap(GifMakeMapObject(size, entries.data()));
}

// Calls visit(colour) for every pixel (0xRRGGBB), row by row, once per run of equal pixels
// with its length.
template <typename Visit> void forEachRun(const QImage& image, Visit visit)
{
    const int width = image.width(), height = image.height();
    for (int y = 0; y < height; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < width) {
            const QRgb c = line[x] & 0xFFFFFFu;
            int end = x + 1;
            while (end < width && (line[end] & 0xFFFFFFu) == c)
                ++end;
            visit(c, end - x);
            x = end;
        }
    }
}

int distance(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

// The palette of a frame and the index of each of its colours.
struct Palette
{
    std::vector<QRgb> colours;
    std::unordered_map<QRgb, GifPixelType> index;
};

Palette paletteOf(const QImage& image)
{
    std::unordered_map<QRgb, qint64> counts;
    forEachRun(image, [&](QRgb c, int n) { counts[c] += n; });
    Palette p;
    std::vector<std::pair<qint64, QRgb>> byCount;
    for (const auto& [c, n] : counts)
        byCount.emplace_back(-n, c);
    std::sort(byCount.begin(), byCount.end()); // most frequent first, then by colour
    if (byCount.size() <= MaxColours) {
        for (const auto& entry : byCount)
            p.colours.push_back(entry.second);
    } else {
        for (int i = 0; i < GifWriter::ExactColours; ++i)
            p.colours.push_back(byCount[std::size_t(i)].second);
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    p.colours.push_back(qRgb(r * 51, g * 51, b * 51) & 0xFFFFFFu);
    }
    for (std::size_t i = 0; i < p.colours.size(); ++i)
        p.index.emplace(p.colours[i], GifPixelType(i));
    for (const auto& entry : byCount) {
        if (p.index.count(entry.second)) continue;
        std::size_t best = 0;
        for (std::size_t i = 1; i < p.colours.size(); ++i) {
            if (distance(entry.second, p.colours[i]) < distance(entry.second, p.colours[best]))
                best = i;
        }
        p.index.emplace(entry.second, GifPixelType(best));
    }
    return p;
}

} // namespace

int GifWriter::output(GifFileType* gif, const unsigned char* data, int length)
{
    auto* writer = static_cast<GifWriter*>(gif->UserData);
    writer->bytes_.append(reinterpret_cast<const char*>(data), length);
    if (!writer->stream_ || writer->bytes_.size() < StreamedPiece) return length;
    const bool added = writer->stream_->add(writer->bytes_);
    writer->bytes_.clear();
    return added ? length : 0;
}

GifWriter::GifWriter(int delay, QSize screen, const QString& path)
    : delay_(delay), screen_(screen),
      stream_(path.isEmpty() ? nullptr : std::make_unique<SafeWrite::Stream>(path))
{
    // A target that cannot be written fails before any frame is drawn.
    if (stream_ && !stream_->add({})) return;
    gif_ = EGifOpen(this, output, &code_);
    if (!gif_) return;
    EGifSetGifVersion(gif_, true);
    // Loop for ever.
    static const GifByteType appName[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType loop[] = {1, 0, 0};
    if (EGifPutScreenDesc(gif_, screen.width(), screen.height(), 8, 0, nullptr) == GIF_ERROR ||
        EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, sizeof appName, appName) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, sizeof loop, loop) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR)
        fail();
}

GifWriter::~GifWriter()
{
    if (gif_) EGifCloseFile(gif_, nullptr);
}

void GifWriter::fail()
{
    if (gif_ && code_ == 0) code_ = gif_->Error ? gif_->Error : E_GIF_ERR_WRITE_FAILED;
}

bool GifWriter::addFrame(const QImage& frame)
{
    if (!gif_ || code_ != 0) return false;
    const QImage image =
        frame.format() == QImage::Format_RGB32 || frame.format() == QImage::Format_ARGB32
            ? frame
            : frame.convertToFormat(QImage::Format_RGB32);
    const int width = std::min(image.width(), screen_.width());
    const int height = std::min(image.height(), screen_.height());
    const Palette palette = paletteOf(image);
    const ColourMap map = makeMap(palette.colours);
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_, NO_TRANSPARENT_COLOR};
    GifByteType controlBytes[4];
    EGifGCBToExtension(&control, controlBytes);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, 4, controlBytes) == GIF_ERROR ||
        EGifPutImageDesc(gif_, 0, 0, width, height, false, map.get()) == GIF_ERROR) {
        fail();
        return false;
    }
    std::vector<GifPixelType> line(std::size_t(std::max(width, 1)));
    for (int y = 0; y < height; ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb last = ~0u;
        GifPixelType lastIndex = 0;
        for (int x = 0; x < width; ++x) {
            const QRgb c = pixels[x] & 0xFFFFFFu;
            if (c != last) {
                last = c;
                lastIndex = palette.index.at(c);
            }
            line[std::size_t(x)] = lastIndex;
        }
        if (EGifPutLine(gif_, line.data(), width) == GIF_ERROR) {
            fail();
            return false;
        }
    }
    ++frames_;
    return true;
}

QByteArray GifWriter::finish(QString& error)
{
    if (gif_) {
        int closeCode = 0;
        if (EGifCloseFile(gif_, &closeCode) == GIF_ERROR && code_ == 0) code_ = closeCode;
        gif_ = nullptr;
    }
    if (code_ == 0) return bytes_;
    const char* text = GifErrorString(code_);
    error = QStringLiteral("The GIF could not be made: %1.")
                .arg(text ? QString::fromLatin1(text) : QString::number(code_));
    return {};
}

bool GifWriter::write(const QString& path, QString& error)
{
    QString encodeError;
    const QByteArray bytes = finish(encodeError);
    // A piece the file did not take failed the encoding: the file's reason is the real one.
    if (stream_ && !stream_->error().isEmpty()) {
        error = stream_->error();
        return false;
    }
    if (!encodeError.isEmpty()) {
        error =
            QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), encodeError);
        return false;
    }
    if (!stream_) return SafeWrite::writeBytes(path, bytes, error);
    stream_->add(bytes);
    return stream_->commit(error); // with the reason of a failed add
}
