#include "output/ReportPrinter.h"

#include "output/SafeWrite.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

namespace {
bool usable(const QImage* image)
{
    return image && !image->isNull();
}

QSize sizeOf(const QImage* image)
{
    return usable(image) ? image->size() : QSize();
}
} // namespace

namespace ReportPrinter {
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

bool print(QPagedPaintDevice& device, const QImage* left, const QImage* right,
           const QStringList& lines, QString& error)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        error = QStringLiteral("The printer could not start the document.");
        return false;
    }
    const double toDeviceX = device.logicalDpiX() / TwipsPerInch;
    const double toDeviceY = device.logicalDpiY() / TwipsPerInch;
    auto toDevice = [&](const QRectF& r) {
        return QRectF(r.left() * toDeviceX, r.top() * toDeviceY, r.width() * toDeviceX,
                      r.height() * toDeviceY);
    };

    const Layout at = layout(sizeOf(left), sizeOf(right), device.width() / toDeviceX);
    if (usable(right)) painter.drawImage(toDevice(at.right), *right);
    if (usable(left)) painter.drawImage(toDevice(at.left), *left);

    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(PointSize);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), &device);
    const double lineHeight = metrics.lineSpacing();
    const double pageHeight = device.height();
    double y = at.textTop * toDeviceY;
    bool freshPage = at.textTop == 0;
    for (const QString& line : lines) {
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

bool writePdf(const QString& path, const QImage* left, const QImage* right,
              const QStringList& lines, QString& error)
{
    return SafeWrite::writeFile(
        path,
        [&](QIODevice& device) {
            QPdfWriter writer(&device);
            writer.setCreator(QStringLiteral("Tavrigon"));
            writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                             QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
            return print(writer, left, right, lines, error);
        },
        error);
}
} // namespace ReportPrinter
