#pragma once

#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;

// Paints the printed document: the two views side by side at the top when given, then the
// report lines (ReportText::lines) in "Courier New", starting a new page when one is full.
// Session passes the printer of the Print dialog (a QPrinter is a QPagedPaintDevice) or, for the
// command line, calls writePdf. Either image may be null: with neither, the text starts at the
// top of the page.
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

bool print(QPagedPaintDevice& device, const QImage* left, const QImage* right,
           const QStringList& lines, QString& error);

// The same document as an A4 PDF file, written through SafeWrite.
bool writePdf(const QString& path, const QImage* left, const QImage* right,
              const QStringList& lines, QString& error);
} // namespace ReportPrinter
