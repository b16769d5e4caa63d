#pragma once

#include <QString>
#include <QtGlobal>

// The derivative orders (Xder, Yder), each 0 to 2, to the selector of the surface evaluation
// and the name the report shows. Orders summing above 2 give selector 0 and an empty name.
namespace DerivTables {
bool inRange(qint32 xder, qint32 yder);
qint32 DerivTable(qint32 xder, qint32 yder); // 0 outside the table
QString DerivNames(qint32 xder, qint32 yder);
} // namespace DerivTables
