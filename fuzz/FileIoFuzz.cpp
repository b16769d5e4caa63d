// Fuzz target of a setup's way through files: any bytes are written as a file through the safe
// write and opened; a file that reads as a setup is saved over itself and opened again, giving
// the same record. Nothing is ever left beside the file.

#include "output/SafeWrite.h"
#include "output/SetupFile.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("setup.txt"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    if (!folder.isValid() || !SafeWrite::writeBytes(path, bytes, error)) std::abort();
    SetupFileData first;
    if (SetupFile::readFile(path, first, error) && SetupFile::checkStorable(first, error)) {
        if (!SetupFile::save(path, SetupFile::format(first), {}, error)) std::abort();
        SetupFileData second;
        if (!SetupFile::readFile(path, second, error) ||
            SetupFile::toLines(second) != SetupFile::toLines(first))
            std::abort();
    }
    if (QDir(folder.path()).entryList(QDir::Files | QDir::Hidden) != QStringList{"setup.txt"})
        std::abort();
    return 0;
}
