#pragma once

#include "eval/Message.h"

#include <QString>
#include <QStringList>

// Messages as the command line prints them on standard error: every line begins with
// "tavrigon: ", then the subject ("Stereo: ", "constant k=2: ", "--eval: "), then the text;
// a hint follows on its own line.
namespace ConsoleLines {
// The lines of a message: the text (a caption before it, a trailing " in Stereo" dropped
// when the field is named), then "hint: ..." when there is one.
QStringList of(const Message& message);
// The line of a note: "tavrigon: note: EquationZ: ...".
QString note(const Message& message);
} // namespace ConsoleLines
