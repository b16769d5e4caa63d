#include "output/ReportPrinter.h"

#include "render/PainterSurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>

namespace ReportPrinter {
namespace {
using ToDevice = std::function<QRectF(const QRectF&)>;
// Draws the views given the page width in twips and the mapping of twips onto the device;
// returns where the text starts, in twips.
using Pictures = std::function<double(QPainter&, double, const ToDevice&)>;

bool printDocument(QPagedPaintDevice& device, const Pictures& pictures, const QStringList& lines,
                   QString& error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        error = QStringLiteral("The printer could not start the document.");
        return false;
    }
    const double toDeviceX = device.logicalDpiX() / TwipsPerInch;
    const double toDeviceY = device.logicalDpiY() / TwipsPerInch;
    const ToDevice toDevice = [&](const QRectF& r) {
        return QRectF(r.left() * toDeviceX, r.top() * toDeviceY, r.width() * toDeviceX,
                      r.height() * toDeviceY);
    };
    const double textTop = pictures(painter, device.width() / toDeviceX, toDevice);

    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(PointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &device);
    const double lineHeight = metrics.lineSpacing();
    const double pageHeight = device.height();
    double y = textTop * toDeviceY;
    bool freshPage = textTop == 0;
    // A line longer than the page goes on in the next (the font is of fixed pitch).
    const qsizetype perLine = std::max(
        qsizetype(1), qsizetype(device.width() / metrics.horizontalAdvance(QLatin1Char('M'))));
    QStringList wrapped;
    for (const QString& line : lines)
        for (qsizetype i = 0; i == 0 || i < line.size(); i += perLine)
            wrapped << line.mid(i, perLine);
    for (const QString& line : std::as_const(wrapped)) {
        if (y + lineHeight > pageHeight && !freshPage) {
            if (!device.newPage()) {
                painter.end();
                error = QStringLiteral("The printer could not start a new page.");
                return false;
            }
            y = 0;
        }
        painter.drawText(QPointF(0, y + metrics.ascent()), line);
        y += lineHeight;
        freshPage = false;
    }
    if (!painter.end()) {
        error = QStringLiteral("The printer could not finish the document.");
        return false;
    }
    return true;
}

} // namespace

Layout layout(QSize left, QSize right, double pageWidthTwips)
{
    Layout out;
    if (left.isEmpty() && right.isEmpty()) return out;
    if (!right.isEmpty())
        out.right = QRectF(5985, 0, TwipsPerPixel * right.width(), TwipsPerPixel * right.height());
    if (!left.isEmpty())
        out.left = QRectF(6000 - TwipsPerPixel * left.width(), 0, TwipsPerPixel * left.width(),
                          TwipsPerPixel * left.height());
    const QRectF both = out.left.united(out.right);
    const double shift = std::min(0.0, both.left());
    const double width = both.right() - shift;
    if (pageWidthTwips > 0 && width > pageWidthTwips) {
        const double f = pageWidthTwips / width;
        auto fit = [&](QRectF& r) {
            if (!r.isEmpty())
                r = QRectF((r.left() - shift) * f, r.top() * f, r.width() * f, r.height() * f);
        };
        fit(out.left);
        fit(out.right);
    } else if (shift < 0) {
        out.left.translate(-shift, 0);
        out.right.translate(-shift, 0);
    }
    out.textTop = std::max(4500.0, out.left.united(out.right).bottom());
    return out;
}

bool print(QPagedPaintDevice& device, std::array<QSize, 2> viewSizes, const PairPainter& drawPair,
           const QStringList& lines, QString& error)
{
    return printDocument(
        device,
        [&](QPainter& painter, double pageWidthTwips, const ToDevice& toDevice) {
            if (!drawPair) return 0.0;
            PainterSurface left(painter, QRectF(), 0, viewSizes[0].width(), viewSizes[0].height());
            PainterSurface right(painter, QRectF(), viewSizes[0].width() - 1, viewSizes[1].width(),
                                 viewSizes[1].height());
            drawPair(left, right);
            const Layout at = layout(QSize(left.width(), left.height()),
                                     QSize(right.width(), right.height()), pageWidthTwips);
            // The left view last, over the column the two share.
            right.setTarget(toDevice(at.right));
            right.finish();
            left.setTarget(toDevice(at.left));
            left.finish();
            return at.textTop;
        },
        lines, error);
}

} // namespace ReportPrinter
