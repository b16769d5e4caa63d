#include "output/SafeWrite.h"

#include "output/StagedFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace SafeWrite {

namespace {
// Holds an advisory lock on each folder written to, so that two saves of one name, from two
// processes, do not interleave: the last one to take the lock gives the whole set.
class FolderLocks
{
public:
    explicit FolderLocks(const QList<std::pair<QString, QByteArray>>& files)
    {
        QStringList folders;
        for (const auto& file : files)
            if (!StagedFile::isSpecial(file.first))
                folders.append(QFileInfo(file.first).absolutePath());
        folders.sort(); // one order for every process
        folders.removeDuplicates();
        for (const QString& folder : std::as_const(folders)) {
            const int fd =
                ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0) continue; // an unreadable folder is written without the lock
            while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
            }
            fds_.push_back(fd);
        }
    }
    ~FolderLocks()
    {
        for (const int fd : fds_)
            ::close(fd); // releases the lock
    }
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;

private:
    std::vector<int> fds_;
};
} // namespace

bool writeFiles(const QList<std::pair<QString, QByteArray>>& files, QString& error)
{
    const FolderLocks locks(files);
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto& [path, bytes] : files) {
        staged.push_back(std::make_unique<StagedFile>(path));
        if (!staged.back()->stage(bytes, error)) return false; // the others are discarded
    }
    std::stable_partition(staged.begin(), staged.end(),
                          [](const std::unique_ptr<StagedFile>& f) { return f->inPlace(); });
    for (auto f = staged.begin(); f != staged.end(); ++f) {
        if ((*f)->commit(error)) continue;
        bool restored = true;
        while (f != staged.begin())
            restored = (*--f)->restore() && restored;
        if (!restored)
            error += QStringLiteral(" The files written before it could not all be put back.");
        return false;
    }
    return true;
}

Stream::Stream(const QString& path) : file_(std::make_unique<StagedFile>(path)), path_(path) {}

Stream::~Stream() = default;

bool Stream::add(const QByteArray& bytes)
{
    if (!file_ || !error_.isEmpty()) return false;
    if (!begun_) begun_ = file_->begin(error_);
    return error_.isEmpty() && file_->add(bytes, error_);
}

bool Stream::commit(QString& error)
{
    bool done = add({}) && file_->end(error_);
    if (done) {
        const FolderLocks locks({{path_, {}}});
        done = file_->commit(error_);
    }
    file_.reset(); // no file of its own left beside the target, whatever happened
    error = error_;
    return done;
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString& error)
{
    return writeFiles({{path, bytes}}, error);
}

bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write, QString& error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    error.clear();
    if (!write(buffer)) {
        if (error.isEmpty())
            error = QStringLiteral("Cannot write %1: its contents could not be made.")
                        .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return writeBytes(path, bytes, error);
}

QImage paletteImage(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> table;
    std::unordered_map<QRgb, uchar> index;
    QImage out(rgb.size(), QImage::Format_Indexed8);
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* to = out.scanLine(y);
        QRgb last = 0;
        uchar lastIndex = 0;
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (x == 0 || c != last) {
                auto found = index.find(c);
                if (found == index.end()) {
                    if (table.size() == 256) return {};
                    found = index.emplace(c, uchar(table.size())).first;
                    table.append(c);
                }
                last = c;
                lastIndex = found->second;
            }
            to[x] = lastIndex;
        }
    }
    out.setColorTable(table);
    return out;
}

constexpr int DotsPerMeter96 = 3780;

bool imageBytes(const QString& path, const QImage& image, const char* format, QByteArray& bytes,
                QString& error)
{
    if (image.isNull()) {
        error = QStringLiteral("Cannot write %1: the view has no picture.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        // Images made without a screen say 100 dpi; files say the 96 of the offscreen screen,
        // as they always did.
        rgb.setDotsPerMeterX(DotsPerMeter96);
        rgb.setDotsPerMeterY(DotsPerMeter96);
    }
    // A PNG of few colours (every plot has) as an 8-bit palette image: the same pixels. It is
    // compressed at zlib's level 3 (quality 60): files a quarter to a half larger than at the
    // default level, made in a quarter of the time.
    const bool png = qstrcmp(format, "PNG") == 0;
    if (png) {
        QImage indexed = paletteImage(rgb);
        if (!indexed.isNull()) {
            indexed.setDotsPerMeterX(rgb.dotsPerMeterX());
            indexed.setDotsPerMeterY(rgb.dotsPerMeterY());
            rgb = indexed;
        }
    }
    if (!rgb.save(&buffer, format, png ? 60 : -1)) {
        error = QStringLiteral("Cannot write %1: the image could not be encoded as %2.")
                    .arg(QDir::toNativeSeparators(path), QLatin1String(format));
        return false;
    }
    return true;
}

bool writeImage(const QString& path, const QImage& image, const char* format, QString& error)
{
    QByteArray bytes;
    return imageBytes(path, image, format, bytes, error) && writeBytes(path, bytes, error);
}

bool isSpecial(const QString& path)
{
    return StagedFile::isSpecial(path);
}

bool writeStandardOutput(const QByteArray& bytes, QString& error)
{
    if (std::fflush(stdout) == 0 && StagedFile::writeAll(STDOUT_FILENO, bytes)) return true;
    error = QStringLiteral("Cannot write standard output: %1.")
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

} // namespace SafeWrite
