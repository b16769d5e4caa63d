#pragma once

#include <QString>

// The folder for XDG_RUNTIME_DIR when none is set: `<temp>/tavrigon-runtime-<uid>`, made with
// mode 0700 and used only when it is then a folder of this user that nobody else may enter,
// never through a link; otherwise a fresh private temporary folder, removed at exit. Empty when
// neither can be made.
namespace RuntimeFolder {
QString choose(const QString& temp);
}
