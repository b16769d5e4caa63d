#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <utility>

class QIODevice;
class StagedFile;

// Every file the program writes goes through here (see StagedFile): a failure (a full disk, a
// missing permission, a folder) leaves the old file byte for byte and gives a message naming
// the real cause; a standard stream, device or FIFO is written in place, never replaced.
namespace SafeWrite {

// Several files, all or none: each is checked, and written and synced beside its target, before
// any target is replaced; those written in place go first, as they are the ones that can still
// fail, and a later failure puts back the files already written where it can. Two processes
// writing into one folder take turns.
bool writeFiles(const QList<std::pair<QString, QByteArray>>& files, QString& error);
bool writeBytes(const QString& path, const QByteArray& bytes, QString& error);

// One file made piece by piece (the frames of an animation): each piece goes into the file
// staged beside the target as it comes, so the whole is not held in memory (but for a target
// written in place); commit() replaces the target as writeFiles does. Dropped without a
// commit, or after a failure, it leaves the old file byte for byte.
class Stream
{
public:
    explicit Stream(const QString& path);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    // False once a piece could not be staged (error() names the cause) or after commit().
    bool add(const QByteArray& bytes);
    // The target replaced; false with the cause in `error`. Once only.
    bool commit(QString& error);
    const QString& error() const { return error_; }

private:
    std::unique_ptr<StagedFile> file_;
    QString path_;
    QString error_;
    bool begun_ = false;
};

// `write` fills the device (a buffer) and returns false when it could not, with or without
// setting `error`.
bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write, QString& error);

// An image as `format` ("PNG", "BMP"), 24-bit colour, a PNG of at most 256 colours as a
// palette image; imageBytes() only encodes it.
bool imageBytes(const QString& path, const QImage& image, const char* format, QByteArray& bytes,
                QString& error);
bool writeImage(const QString& path, const QImage& image, const char* format, QString& error);

// The image as 8-bit indices into a table of its exact colours; null with more than 256.
QImage paletteImage(const QImage& image);

// Whether `path` is written in place without a regular file of its own (a device, a FIFO, a
// standard stream), so that nothing is written beside it.
bool isSpecial(const QString& path);

// To standard output, after what the C library still holds for it.
bool writeStandardOutput(const QByteArray& bytes, QString& error);

} // namespace SafeWrite
