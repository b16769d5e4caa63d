#pragma once

#include "output/StereoLayout.h"
#include "render/CapturedPlot.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <array>

class QPagedPaintDevice;

// The exports of a captured plot, each drawn anew for its medium: the views as images at a
// pixel scale, as SVG, and the printed document (a printer or a PDF file). An empty plot
// gives null images, an empty SVG and a document of text only.
class PlotExport
{
public:
    PlotExport(const CapturedPlot& plot, const CapturedPlot::Tools& tools, bool labels,
               const SurfaceLook& look = {});

    // Both views at `scale` image pixels per window pixel (1 to 16).
    std::array<QImage, 2> images(double scale) const;
    // The views of the plot as its own drawing made them at `scale` (the run's plot, with the
    // plot's options): images() at that scale gives them instead of drawing the same pixels
    // again, when the export's options are the plot's and a drawing repeats.
    void takeDrawn(const std::array<QImage, 2>& views, double scale);
    // Those views when images(`scale`) would give them, else null images.
    std::array<QImage, 2> drawn(double scale) const;
    // Views as one SVG document, side by side in the order given (0 left, 1 right), shown
    // `scale` times their pixel size.
    QByteArray svg(const QList<int>& order, double scale) const;
    // The frame of `layout`: a design view drawn for it twice, composed.
    QImage frame(const StereoLayout& layout) const;
    // The views as vectors above the report's `lines`.
    bool print(QPagedPaintDevice& device, const QStringList& lines, QString& error) const;
    // The printed document as a PDF file through the safe write; an invalid layout keeps the
    // writer's own.
    bool writePdf(const QString& path, const QPageLayout& layout, const QStringList& lines,
                  QString& error) const;

private:
    bool draw(DrawingSurface& left, DrawingSurface& right) const;

    const CapturedPlot& plot_;
    CapturedPlot::Tools tools_;
    DrawOptions options_;
    std::array<QImage, 2> drawn_;
    double drawnScale_ = 0;
};
