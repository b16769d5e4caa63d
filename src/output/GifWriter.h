#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>

namespace SafeWrite {
class Stream;
}

struct GifFileType;

// An animated GIF that loops for ever, encoded with giflib one frame at a time (a frame is
// not kept once added) and written through the safe-write helper: given the path, the encoded
// bytes go into the file staged for it as they come, so neither frames nor file pile up. Each frame
// has its own palette holding its colours exactly when it has at most 256; a frame with more keeps
// its most frequent colours exactly (a plot's background, surface and guides, also beside the
// smoothed shades of labels) and takes the nearest of those and a 6 x 6 x 6 colour cube for
// the others.
class GifWriter
{
public:
    // `delay`: the time each frame is shown, in hundredths of a second; frames are placed at
    // the top left of a screen of `screen` pixels.
    GifWriter(int delay, QSize screen, const QString& path = {});
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Encodes the frame; false once giflib has failed (finish() names the cause).
    bool addFrame(const QImage& frame);
    int frameCount() const { return frames_; }

    // Ends the file: its bytes (those not yet streamed), or empty with `error` set when giflib
    // failed.
    QByteArray finish(QString& error);

    // finish(), then the file written, to the path given or else `path`, through the safe
    // write; false with the message in `error`.
    bool write(const QString& path, QString& error);

    // Colours kept exactly in a frame of more than 256.
    static constexpr int ExactColours = 40;

private:
    void fail();
    // giflib's output: the bytes kept, or streamed on in pieces of 64 KiB.
    static int output(GifFileType* gif, const unsigned char* data, int length);

    int delay_;
    QSize screen_;
    GifFileType* gif_ = nullptr;
    QByteArray bytes_;
    std::unique_ptr<SafeWrite::Stream> stream_;
    int code_ = 0; // giflib's error code, 0 while all went well
    int frames_ = 0;
};
