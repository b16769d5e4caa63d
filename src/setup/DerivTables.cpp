#include "setup/DerivTables.h"

namespace {
constexpr qint32 kSelector[3][3] = {{0, 2, 4}, {1, 5, 0}, {3, 0, 0}};
const char* const kNames[3][3] = {{"Z", "Zy", "Zyy"}, {"Zx", "Zxy", ""}, {"Zxx", "", ""}};
} // namespace

namespace DerivTables {
bool inRange(qint32 xder, qint32 yder) { return xder >= 0 && xder <= 2 && yder >= 0 && yder <= 2; }

qint32 DerivTable(qint32 xder, qint32 yder)
{
    return inRange(xder, yder) ? kSelector[xder][yder] : 0;
}

QString DerivNames(qint32 xder, qint32 yder)
{
    return inRange(xder, yder) ? QString::fromLatin1(kNames[xder][yder]) : QString();
}
} // namespace DerivTables
