#include "output/StagedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Longer base names get a fixed one, so that the temporary name stays within NAME_MAX.
constexpr qsizetype kLongestBaseName = 200;
} // namespace

StagedFile::StagedFile(const QString& path) : path_(path) {}

StagedFile::~StagedFile()
{
    discard();
}

void StagedFile::discard()
{
    if (!temp_.isEmpty()) ::unlink(temp_.constData());
    temp_.clear();
}

bool StagedFile::writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

QString StagedFile::failure(const QString& path, int errorNumber)
{
    const QFileInfo info(path);
    QString reason;
    if (errorNumber == ENOENT && !info.absoluteDir().exists())
        reason = QStringLiteral("the folder %1 does not exist")
                     .arg(QDir::toNativeSeparators(info.absolutePath()));
    else
        reason = QString::fromLocal8Bit(std::strerror(errorNumber));
    return QStringLiteral("Cannot write %1: %2.").arg(QDir::toNativeSeparators(path), reason);
}

bool StagedFile::stage(const QByteArray& bytes, QString& error)
{
    discard();
    const QByteArray name = QFile::encodeName(path_);
    struct stat st = {};
    const bool exists = ::stat(name.constData(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error = failure(path_, EISDIR);
        return false;
    }
    inPlace_ = exists && !S_ISREG(st.st_mode);
    if (inPlace_) {
        bytes_ = bytes;
        return true;
    }

    // Beside the file a link points to, so that the rename replaces that file, not the link.
    target_ = name;
    if (exists) {
        if (char* real = ::realpath(name.constData(), nullptr)) {
            target_ = real;
            std::free(real);
        }
    }
    const qsizetype slash = target_.lastIndexOf('/');
    const QByteArray dir = slash < 0 ? QByteArray(".") : target_.left(slash + 1);
    QByteArray base = slash < 0 ? target_ : target_.mid(slash + 1);
    if (base.size() > kLongestBaseName) base = "tavrigon";
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp_ = dir + (slash < 0 ? "/." : ".") + base + '.' +
                QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temp_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        const int saved = errno;
        temp_.clear();
        error = failure(path_, saved);
        return false;
    }
    // Flushed to the disk before anything is replaced: a full disk shows here, not after.
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int saved = errno;
    if (exists) ::fchmod(fd, st.st_mode & 07777);
    if (::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        discard();
        error = failure(path_, saved);
    }
    return ok;
}

bool StagedFile::commit(QString& error)
{
    if (inPlace_) {
        // Non-blocking open: a FIFO that nobody reads fails at once instead of waiting forever.
        const int fd =
            ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            error = errno == ENXIO ? QStringLiteral("Cannot write %1: no program reads from it.")
                                         .arg(QDir::toNativeSeparators(path_))
                                   : failure(path_, errno);
            return false;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        bool ok = writeAll(fd, bytes_);
        int saved = errno;
        if (::close(fd) != 0 && ok) {
            ok = false;
            saved = errno;
        }
        if (!ok) error = failure(path_, saved);
        return ok;
    }
    if (temp_.isEmpty()) {
        error = failure(path_, EINVAL);
        return false;
    }
    if (::rename(temp_.constData(), target_.constData()) != 0) {
        error = failure(path_, errno);
        discard();
        return false;
    }
    temp_.clear();
    return true;
}
