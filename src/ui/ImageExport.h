#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// "Save image...": the images made from the two views, each offered as PNG and as BMP.
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
    const char* format = "PNG"; // as QImageWriter names it
    QString suffix;             // "png" or "bmp"
};

// The type list of the save dialog: "Left view (*.png)", "Left view (*.bmp)", then the right
// view, the two pairs and the anaglyph in the same way.
const QStringList& filters();

// The image and format a filter of the list stands for; false for a text that is none.
bool choiceOf(const QString& filter, Choice& choice);

// The file name with the format's suffix added when it has none.
QString withSuffix(const QString& path, const Choice& choice);

// The image of that kind made from the views.
QImage image(Kind kind, const QImage& left, const QImage& right);

// Writes the image in the choice's format through SafeWrite; false with a message naming
// the file when it cannot.
bool write(const QString& path, const QImage& image, const Choice& choice, QString& error);

} // namespace ImageExport
