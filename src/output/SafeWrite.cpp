#include "output/SafeWrite.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace SafeWrite {

bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write, QString& error)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        error = failure(path, file.errorString());
        return false;
    }
    if (!write(file)) {
        if (error.isEmpty()) error = failure(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        error = failure(path, file.errorString());
        return false;
    }
    return true;
}

bool writeImage(const QString& path, const QImage& image, const char* format, QString& error)
{
    if (image.isNull()) {
        error = QStringLiteral("Cannot write %1: the view has no picture.")
                    .arg(QDir::toNativeSeparators(path));
        return false;
    }
    return writeFile(
        path,
        [&](QIODevice& device) {
            return image.convertToFormat(QImage::Format_RGB32).save(&device, format);
        },
        error);
}

QString failure(const QString& path, const QString& deviceError)
{
    const QString name = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    QString reason;
    if (info.isDir())
        reason = QStringLiteral("it is a folder");
    else if (!info.absoluteDir().exists())
        reason = QStringLiteral("the folder %1 does not exist")
                     .arg(QDir::toNativeSeparators(info.absolutePath()));
    else if (errno != 0)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    else if (!deviceError.isEmpty() && deviceError != QLatin1String("Unknown error"))
        reason = deviceError;
    else
        reason = QStringLiteral("the file could not be written");
    return QStringLiteral("Cannot write %1: %2.").arg(name, reason);
}

} // namespace SafeWrite
