#pragma once

#include "setup/SurfaceLook.h"

#include <QImage>
#include <QString>
#include <QStringList>

class Session;

// "Save image...": the images made from the two views, the views and pairs offered as PNG,
// BMP and SVG, the anaglyph as PNG and BMP; each drawn anew at the size and with the labels
// the user asks for.
namespace ImageExport {

enum class Kind
{
    LeftView,
    RightView,
    Pair,         // left view first, viewed cross-eyed
    ParallelPair, // right view first, viewed with parallel eyes
    Anaglyph
};

struct Choice
{
    Kind kind = Kind::LeftView;
    const char* format = "PNG"; // as QImageWriter names it, or "SVG"
    QString suffix;             // "png", "bmp" or "svg"
};

// How the file is drawn: `scale` image pixels per window pixel (1 to 16), with the axis
// letters and tick values when `labels`, the surface in `look`.
struct Options
{
    double scale = 1;
    bool labels = false;
    SurfaceLook look;
};

// The type list of the save dialog: "Left view (*.png)", "Left view (*.bmp)", "Left view
// (*.svg)", then the right view and the two pairs in the same way, and the anaglyph's two.
const QStringList& filters();

// The image and format a filter of the list stands for; false for a text that is none.
bool choiceOf(const QString& filter, Choice& choice);

// The file name with the format's suffix added when it has none.
QString withSuffix(const QString& path, const Choice& choice);

// The image of that kind made from the views.
QImage image(Kind kind, const QImage& left, const QImage& right);

// The factor a text of the size box stands for ("2", "2x", "2.5 ×"), or 0 when it is not a
// number from 1 to 16.
double scaleOf(const QString& text);

// Draws the plot shown anew as `options` say and writes it in the choice's format through
// SafeWrite; without a plot, the views as they are at their own size. False with a message
// naming the file when it cannot.
bool save(Session& session, const QString& path, const Choice& choice, const Options& options,
          QString& error);

} // namespace ImageExport
