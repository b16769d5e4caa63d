#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

// An animated GIF that loops for ever, encoded with giflib and written through the safe-write
// helper. The palettes hold the frames' colours exactly: one palette for the whole file when
// all frames together use at most 256 colours (a plot uses a few), else one per frame; a
// frame with more than 256 colours of its own is reduced to a fixed 6 x 6 x 6 colour cube.
class GifWriter
{
public:
    // `delay`: the time each frame is shown, in hundredths of a second.
    explicit GifWriter(int delay);

    // Frames are placed at the top left of a screen as large as the largest of them.
    void addFrame(const QImage& frame);
    int frameCount() const { return int(frames_.size()); }

    // The file's bytes; empty with `error` set when giflib fails.
    QByteArray encode(QString& error) const;

    // Encodes and writes the file; false with the message in `error`.
    bool write(const QString& path, QString& error) const;

private:
    int delay_;
    QList<QImage> frames_;
};
