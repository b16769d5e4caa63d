#pragma once

#include "setup/PlotSetup.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class FormFields;
class QImage;

// The setup file: a "VANTRO" text of comma-separated lines holding the stored fields of a plot
// setup and the user constants.
//
// Saving: data = SetupFile::fromSetup(setup, parametric, constants); checkStorable(data, error);
// writeFile(path, format(data), error); with a plot shown, first
// writeBitmap(BitmapName(path, 0), left image) and the same for view 1.
// Opening: readFile(path, data, error) checks the whole file before it returns; only then
// Session sets chkParametric, ApplySetupToRecord(data, setup), refills the constants list, and
// calls ApplySetupToFields(data, fields) (running the parametric toggle itself). On failure
// nothing has changed and the error is the message to show; Incompatible() is shown with the
// caption "vantro".

// What one setup file holds. Only the stored fields of `setup` are used; when `parametric` is
// off, EquationX and EquationY are neither written nor read.
struct SetupFileData
{
    bool parametric = false;
    PlotSetup setup;
    QStringList constants;
};

namespace SetupFile {
constexpr qsizetype MaxConstants = 101;
constexpr qint64 MaxFileSize = 1024 * 1024;

QString Incompatible(); // "Incompatible file"

SetupFileData fromSetup(const PlotSetup& setup, bool parametric, const QStringList& constants);

// Record <-> lines of text.
QStringList toLines(const SetupFileData& data);
bool fromLines(const QStringList& lines, SetupFileData& data, QString& error);

// Lines <-> bytes: CR LF after every line; 8-bit text (UTF-8, or Latin-1 when a file is not
// valid UTF-8).
QByteArray joinLines(const QStringList& lines);
bool splitLines(const QByteArray& bytes, QStringList& lines, QString& error);

// Both steps. parse() leaves `data` untouched unless the whole file is good.
QByteArray format(const SetupFileData& data);
bool parse(const QByteArray& bytes, SetupFileData& data, QString& error);

// Texts the format cannot carry (a double quote or line break in a stored equation; in a
// constant also a comma or a leading blank), more than MaxConstants constants, or a value
// with no finite number.
bool checkStorable(const SetupFileData& data, QString& error);

// Files. Messages name the file, except Incompatible(), which is returned as it is.
bool readFile(const QString& path, SetupFileData& data, QString& error);
bool writeFile(const QString& path, const QByteArray& bytes, QString& error);

// The view bitmaps written beside a setup file: the whole name followed by "_left.bmp"
// (view 0) or "_right.bmp" (view 1), and one view's image written as a 24-bit BMP through
// QSaveFile.
QString BitmapName(const QString& setupFileName, int view);
bool writeBitmap(const QString& path, const QImage& image, QString& error);

// The stored fields into the record (EquationX and EquationY only when parametric); the
// derived fields are left for the next field reader run.
void ApplySetupToRecord(const SetupFileData& data, PlotSetup& setup);

// The field texts from the values: floats in their shortest form of at most 7 significant
// digits, integers in decimal; when parametric, txtEquationX and txtEquationY first, followed by
// the parametric toggle (chkParametric must already be set).
void ApplySetupToFields(const SetupFileData& data, FormFields& fields);
} // namespace SetupFile
