#pragma once

#include <QImage>
#include <QString>
#include <functional>

class QIODevice;

// Writing a file so that a failure (a full disk, an unwritable folder) leaves the previous
// file as it was: through a temporary file that replaces it only when everything was written.
namespace SafeWrite {

// `write` fills the device and returns false when it could not.
bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& write, QString& error);

// An image as `format` ("PNG", "BMP"), 24-bit colour.
bool writeImage(const QString& path, const QImage& image, const char* format, QString& error);

// "Cannot write NAME: REASON." with the most telling reason that can be found.
QString failure(const QString& path, const QString& deviceError);

} // namespace SafeWrite
