#pragma once

#include <QStringList>

// The lines the start-up splash and the About window print, one line per print.
namespace ProductText {
QString title();           // "Tavrigon"
QStringList splashLines(); // nine lines, starting with two empty ones
QStringList aboutLines();  // nine lines, starting with three empty ones
} // namespace ProductText
