#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class DrawingSurface;
class QPagedPaintDevice;

// Paints the printed document: the two views side by side at the top when given, then the
// report lines (ReportText::lines) in "Courier New", starting a new page when one is full.
// Session passes the printer of the Print dialog (a QPrinter is a QPagedPaintDevice) or, for the
// command line, a QPdfWriter. The views are drawn anew as vectors (a PairPainter); without one,
// the text starts at the top of the page.
namespace ReportPrinter {
constexpr double TwipsPerInch = 1440;
constexpr double TwipsPerPixel = 15;
constexpr qreal PointSize = 10;

// Where things go, in twips from the printable origin: the right view at (5985, 0), the left at
// (6000 - 15 w, 0), each 15 twips to the pixel; text from 4500 (or below taller images). When
// the pair is wider than the page it is scaled down, about the origin, to fit.
struct Layout
{
    QRectF left, right; // empty when that image is not drawn
    double textTop = 0;
};
Layout layout(QSize left, QSize right, double pageWidthTwips);

// Draws the plot on the two views (vector surfaces of the sizes asked for), as the render
// entry point draws a captured plot on a pair of surfaces. It may resize the views (the
// reduction factor); the page places them at the sizes they end with.
using PairPainter = std::function<void(DrawingSurface& left, DrawingSurface& right)>;

// The views drawn by `drawPair` as vector graphics on the page, each starting at viewSizes
// (window pixels); no views when drawPair is empty.
bool print(QPagedPaintDevice& device, std::array<QSize, 2> viewSizes, const PairPainter& drawPair,
           const QStringList& lines, QString& error);

} // namespace ReportPrinter
