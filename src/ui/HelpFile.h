#pragma once

#include <QString>

// Where Help finds "Vantro.hlp": the start directory first, then beside the executable, then
// the installed data folder.
namespace HelpFile {
// The first of the places that holds the file; the start directory's path when none does,
// so that the message names it.
QString locate(const QString& startDir);
} // namespace HelpFile
