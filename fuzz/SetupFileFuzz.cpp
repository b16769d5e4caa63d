// Fuzz target of the setup-file reader: any bytes are either refused or read into a record;
// a record that can be stored is written again, and reading that gives the same record and
// the same bytes once more.

#include "output/SetupFile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    SetupFileData first;
    QString error;
    if (!SetupFile::parse(bytes, first, error)) return 0;
    if (!SetupFile::checkStorable(first, error)) return 0;
    const QByteArray written = SetupFile::format(first);
    SetupFileData second;
    if (!SetupFile::parse(written, second, error)) std::abort();
    if (SetupFile::toLines(second) != SetupFile::toLines(first)) std::abort();
    return 0;
}
