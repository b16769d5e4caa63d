#include "output/SafeWrite.h"

#include "output/StagedFile.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <vector>

namespace SafeWrite {

bool writeFiles(const QList<std::pair<QString, QByteArray>>& files, QString& error)
{
    std::vector<std::unique_ptr<StagedFile>> staged;
    for (const auto& [path, bytes] : files) {
        staged.push_back(std::make_unique<StagedFile>(path));
        if (!staged.back()->stage(bytes, error)) return false; // the others are discarded
    }
    std::stable_partition(staged.begin(), staged.end(),
                          [](const std::unique_ptr<StagedFile>& f) { return f->inPlace(); });
    for (const std::unique_ptr<StagedFile>& f : staged) {
        if (!f->commit(error)) return false;
    }
    return true;
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
    if (!rgb.save(&buffer, format)) {
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

bool writeStandardOutput(const QByteArray& bytes, QString& error)
{
    if (std::fflush(stdout) == 0 && StagedFile::writeAll(STDOUT_FILENO, bytes)) return true;
    error = QStringLiteral("Cannot write standard output: %1.")
                .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

} // namespace SafeWrite
