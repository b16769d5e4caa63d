#include "output/PlotExport.h"

#include "output/ReportPrinter.h"
#include "output/SafeWrite.h"
#include "render/DrawHost.h"
#include "render/ImageSurface.h"
#include "render/SvgDocument.h"
#include "render/SvgSurface.h"

#include <QPdfWriter>

PlotExport::PlotExport(const CapturedPlot& plot, const CapturedPlot::Tools& tools, bool labels,
                       const SurfaceLook& look)
    : plot_(plot), tools_(tools), options_(plot.setup.Options)
{
    options_.Labels = labels;
    options_.Look = look;
}

bool PlotExport::draw(DrawingSurface& left, DrawingSurface& right) const
{
    return plot_.drawAtViewSize(left, right, tools_, options_);
}

void PlotExport::takeDrawn(const std::array<QImage, 2>& views, double scale)
{
    drawn_ = views;
    drawnScale_ = scale;
}

std::array<QImage, 2> PlotExport::drawn(double scale) const
{
    if (plot_.isEmpty() || scale != drawnScale_ || drawn_[0].isNull() ||
        options_ != plot_.setup.Options || !plot_.repeatable())
        return {};
    return drawn_;
}

std::array<QImage, 2> PlotExport::images(double scale) const
{
    if (const std::array<QImage, 2> views = drawn(scale); !views[0].isNull()) return views;
    ImageSurface left(0, 0, 0, scale), right(0, 0, 0, scale);
    if (!draw(left, right)) return {};
    return {left.image(), right.image()};
}

QByteArray PlotExport::svg(const QList<int>& order, double scale) const
{
    std::array<SvgSurface, 2> views;
    if (!draw(views[0], views[1])) return {};
    SvgDocument document(scale);
    double x = 0;
    for (const int index : order) {
        document.addView(views[index], x);
        x += views[index].width();
    }
    return document.toSvg();
}

QImage PlotExport::frame(const StereoLayout& layout) const
{
    ImageSurface left, right;
    layout.prepare(left);
    layout.prepare(right);
    NullDrawHost none;
    if (!plot_.draw({&left, &right}, tools_, options_, none)) return {};
    return layout.compose(left.image(), right.image(), ImageSurface::toRgb(left.backColor()));
}

bool PlotExport::print(QPagedPaintDevice& device, const QStringList& lines, QString& error) const
{
    ReportPrinter::PairPainter drawPair;
    if (!plot_.isEmpty())
        drawPair = [this](DrawingSurface& left, DrawingSurface& right) { draw(left, right); };
    const std::array<QSize, 2> sizes = {plot_.views[0].size(), plot_.views[1].size()};
    return ReportPrinter::print(device, sizes, drawPair, lines, error);
}

bool PlotExport::writePdf(const QString& path, const QPageLayout& layout, const QStringList& lines,
                          QString& error) const
{
    return SafeWrite::writeFile(
        path,
        [&](QIODevice& device) {
            QPdfWriter writer(&device);
            writer.setCreator(QStringLiteral("Tavrigon"));
            if (layout.isValid()) writer.setPageLayout(layout);
            return print(writer, lines, error);
        },
        error);
}
