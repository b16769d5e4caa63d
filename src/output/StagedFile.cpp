#include "output/StagedFile.h"

#include "output/StagedNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Longer base names get a fixed one, so that the temporary name stays within NAME_MAX.
constexpr qsizetype kLongestBaseName = 200;
// Temporary names: "." + base + kMark + kRandomDigits base-36 digits.
constexpr char kMark[] = ".~";
constexpr qsizetype kRandomDigits = 7;
// A temporary file older than this, of this user, was left by a process killed outright.
constexpr time_t kStaleSeconds = 60;

bool isNumber(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > 9) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// The descriptor a path names (/dev/stdout, /dev/fd/N, /proc/self/fd/N), else one this process
// has open for writing on the file `st` describes; -1 when there is none.
int openDescriptor(const QByteArray& name, const struct stat& st)
{
    if (name == "/dev/stdin") return STDIN_FILENO;
    if (name == "/dev/stdout") return STDOUT_FILENO;
    if (name == "/dev/stderr") return STDERR_FILENO;
    const QByteArray own = "/proc/" + QByteArray::number(qint64(::getpid())) + "/fd/";
    for (const QByteArray& folder : {QByteArray("/dev/fd/"), QByteArray("/proc/self/fd/"), own})
        if (name.startsWith(folder) && isNumber(name.mid(folder.size())))
            return name.mid(folder.size()).toInt();
    DIR* open = ::opendir("/proc/self/fd");
    if (!open) return -1;
    int found = -1;
    while (const dirent* entry = ::readdir(open)) {
        const QByteArray number(entry->d_name);
        if (!isNumber(number)) continue;
        const int fd = number.toInt();
        struct stat other = {};
        if (fd == ::dirfd(open) || ::fstat(fd, &other) != 0 || other.st_dev != st.st_dev ||
            other.st_ino != st.st_ino || (::fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY)
            continue;
        found = fd;
        break;
    }
    ::closedir(open);
    return found;
}

// Whether this user may rename another file over `st` in `folder`.
bool replaceable(const QByteArray& folder, const struct stat& st)
{
    if (::geteuid() == 0) return true;
    struct stat dir = {};
    if (::stat(folder.constData(), &dir) != 0) return true; // the rename says why
    if (::access(folder.constData(), W_OK | X_OK) != 0) return false;
    return !(dir.st_mode & S_ISVTX) || st.st_uid == ::geteuid() || dir.st_uid == ::geteuid();
}

bool isTemporaryName(const QByteArray& name, const QByteArray& prefix)
{
    if (name.size() != prefix.size() + kRandomDigits || !name.startsWith(prefix)) return false;
    for (qsizetype i = prefix.size(); i < name.size(); ++i)
        if (!((name[i] >= '0' && name[i] <= '9') || (name[i] >= 'a' && name[i] <= 'z')))
            return false;
    return true;
}

// Removes what a killed process left of writes to `base` in `folder`.
void removeStale(const QByteArray& folder, const QByteArray& base)
{
    DIR* open = ::opendir(folder.constData());
    if (!open) return;
    const QByteArray prefix = '.' + base + kMark;
    const time_t before = std::time(nullptr) - kStaleSeconds;
    while (const dirent* entry = ::readdir(open)) {
        if (!isTemporaryName(entry->d_name, prefix)) continue;
        struct stat st = {};
        if (::fstatat(::dirfd(open), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_mtime < before)
            ::unlinkat(::dirfd(open), entry->d_name, 0);
    }
    ::closedir(open);
}

bool readAll(int fd, QByteArray& bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n == 0;
        bytes.append(buffer, n);
    }
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(077);
    ::umask(mask);
    return mask;
}
} // namespace

StagedFile::StagedFile(const QString& path) : path_(path) {}

StagedFile::~StagedFile()
{
    discard();
    if (!backup_.isEmpty()) ::unlink(backup_.constData());
    StagedNames::forget(backupSlot_);
}

void StagedFile::discard()
{
    if (way_ == Way::Replace && fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.isEmpty()) ::unlink(temp_.constData());
    temp_.clear();
    StagedNames::forget(tempSlot_);
    tempSlot_ = -1;
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

bool StagedFile::isSpecial(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(name.constData(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return !S_ISREG(st.st_mode) || openDescriptor(name, st) >= 0;
}

bool StagedFile::stage(const QByteArray& bytes, QString& error)
{
    return begin(error) && add(bytes, error) && end(error);
}

bool StagedFile::add(const QByteArray& bytes, QString& error)
{
    if (way_ != Way::Replace) {
        bytes_ += bytes;
        return true;
    }
    if (writeAll(fd_, bytes)) return true;
    const int saved = errno;
    discard();
    error = failure(path_, saved);
    return false;
}

bool StagedFile::end(QString& error)
{
    if (way_ == Way::InPlace) return stageInPlace(error);
    // Flushed to the disk before anything is replaced: a full disk shows here, not after.
    if (way_ != Way::Replace || ::fsync(fd_) == 0) return true;
    const int saved = errno;
    discard();
    error = failure(path_, saved);
    return false;
}

bool StagedFile::begin(QString& error)
{
    discard();
    bytes_.clear();
    const QByteArray name = QFile::encodeName(path_);
    struct stat link = {};
    existed_ = ::stat(name.constData(), &oldStat_) == 0;
    if (!existed_ && ::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        error = QStringLiteral("Cannot write %1: it is a link to %2, which does not exist.")
                    .arg(QDir::toNativeSeparators(path_),
                         QDir::toNativeSeparators(QFileInfo(path_).symLinkTarget()));
        return false;
    }
    if (existed_ && S_ISDIR(oldStat_.st_mode)) {
        error = failure(path_, EISDIR);
        return false;
    }
    if (existed_) fd_ = openDescriptor(name, oldStat_);
    way_ = fd_ >= 0                                 ? Way::Descriptor
           : existed_ && !S_ISREG(oldStat_.st_mode) ? Way::Special
                                                    : Way::Replace;
    return way_ != Way::Replace || stageFile(error);
}

QByteArray StagedFile::newName() const
{
    return folder_ + '.' + base_ + kMark +
           QByteArray::number(QRandomGenerator::global()->generate(), 36)
               .rightJustified(kRandomDigits, '0');
}

bool StagedFile::stageFile(QString& error)
{
    // Beside the file a link points to, so that the rename replaces that file, not the link.
    target_ = QFile::encodeName(path_);
    if (existed_) {
        if (char* real = ::realpath(target_.constData(), nullptr)) {
            target_ = real;
            std::free(real);
        }
    }
    const qsizetype slash = target_.lastIndexOf('/');
    folder_ = slash < 0 ? QByteArray("./") : target_.left(slash + 1);
    base_ = slash < 0 ? target_ : target_.mid(slash + 1);
    if (base_.size() > kLongestBaseName) base_ = "tavrigon";
    removeStale(folder_, base_);
    if (existed_ && (oldStat_.st_nlink > 1 || !replaceable(folder_, oldStat_))) {
        way_ = Way::InPlace; // checked by end(), once the size is known
        return true;
    }

    const mode_t mode = existed_ ? oldStat_.st_mode & 0600 : 0600;
    int saved = 0;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = newName();
        fd_ = ::open(temp_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        saved = errno;
        if (fd_ < 0 && saved != EEXIST) break;
    }
    if (fd_ < 0) {
        temp_.clear();
        error = failure(path_, saved);
        return false;
    }
    tempSlot_ = StagedNames::remember(temp_);
    // The old file's owner from the start, where permitted (as root); at least its group.
    if (existed_ && ::fchown(fd_, oldStat_.st_uid, oldStat_.st_gid) != 0)
        (void)::fchown(fd_, uid_t(-1), oldStat_.st_gid);
    return true;
}

bool StagedFile::stageInPlace(QString& error)
{
    int fd = ::open(target_.constData(), O_RDWR | O_CLOEXEC);
    haveOld_ = fd >= 0 && readAll(fd, oldBytes_);
    if (fd < 0) fd = ::open(target_.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        error = failure(path_, errno);
        return false;
    }
    int result = 0;
    if (bytes_.size() > oldStat_.st_size) result = ::posix_fallocate(fd, 0, off_t(bytes_.size()));
    ::close(fd);
    if (result != 0 && result != EOPNOTSUPP && result != EINVAL) {
        error = failure(path_, result);
        return false;
    }
    return true;
}

bool StagedFile::commit(QString& error)
{
    bool ok = false;
    switch (way_) {
    case Way::Replace:
        ok = commitReplace(error);
        break;
    case Way::InPlace:
        ok = commitInPlace(bytes_, error);
        break;
    case Way::Descriptor:
        if (fd_ == STDOUT_FILENO) std::fflush(stdout);
        if (fd_ == STDERR_FILENO) std::fflush(stderr);
        ok = writeAll(fd_, bytes_);
        if (!ok) error = failure(path_, errno);
        break;
    case Way::Special:
        ok = commitSpecial(error);
        break;
    }
    committed_ = ok;
    return ok;
}

bool StagedFile::commitReplace(QString& error)
{
    if (temp_.isEmpty()) {
        error = failure(path_, EINVAL);
        return false;
    }
    mode_t mode = 0666 & ~currentUmask();
    if (existed_) {
        struct stat now = {};
        mode = oldStat_.st_mode & 07777;
        const bool own = oldStat_.st_uid == ::geteuid();
        if (::fstat(fd_, &now) != 0 || !own || now.st_uid != oldStat_.st_uid) mode &= ~S_ISUID;
        if (::fstat(fd_, &now) != 0 || !own || now.st_gid != oldStat_.st_gid) mode &= ~S_ISGID;
    }
    const bool ok = ::fchmod(fd_, mode) == 0;
    int saved = errno;
    if (::close(fd_) != 0 || !ok) {
        if (ok) saved = errno;
        fd_ = -1;
        discard();
        error = failure(path_, saved);
        return false;
    }
    fd_ = -1;
    // A second name of the old file, so that restore() can put it back.
    if (existed_) {
        backup_ = newName();
        if (::link(target_.constData(), backup_.constData()) == 0)
            backupSlot_ = StagedNames::remember(backup_);
        else
            backup_.clear();
    }
    if (::rename(temp_.constData(), target_.constData()) != 0) {
        error = failure(path_, errno);
        discard();
        return false;
    }
    temp_.clear();
    StagedNames::forget(tempSlot_);
    tempSlot_ = -1;
    return true;
}

bool StagedFile::commitInPlace(const QByteArray& bytes, QString& error)
{
    const int fd = ::open(target_.constData(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && writeAll(fd, bytes) && ::ftruncate(fd, off_t(bytes.size())) == 0 &&
              ::fsync(fd) == 0;
    int saved = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (!ok) error = failure(path_, saved);
    return ok;
}

bool StagedFile::commitSpecial(QString& error)
{
    // Non-blocking open: a FIFO that nobody reads fails at once instead of waiting forever.
    const int fd = ::open(QFile::encodeName(path_).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
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

bool StagedFile::restore()
{
    if (!committed_) return true;
    if (way_ == Way::InPlace) {
        QString ignored;
        return haveOld_ && commitInPlace(oldBytes_, ignored);
    }
    if (way_ != Way::Replace) return false;
    if (!existed_) return ::unlink(target_.constData()) == 0;
    if (backup_.isEmpty() || ::rename(backup_.constData(), target_.constData()) != 0) return false;
    backup_.clear();
    StagedNames::forget(backupSlot_);
    backupSlot_ = -1;
    return true;
}
