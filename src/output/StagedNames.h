#pragma once

#include <QByteArray>

// Files to remove should the process be stopped by SIGINT, SIGTERM or SIGHUP: the handler,
// put in front of the one in place at each remember(), removes them and then lets the signal
// take its course as before (a signal that is ignored stays ignored, and its files stay).
namespace StagedNames {

// A slot for forget(), or -1 when all slots are taken (the file then has no such care).
int remember(const QByteArray& name);
void forget(int slot);

} // namespace StagedNames
