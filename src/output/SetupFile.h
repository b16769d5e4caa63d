#pragma once

#include "setup/PlotSetup.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

class FormFields;

// The setup file: a "VANTRO" text of comma-separated lines holding the stored fields of a plot
// setup and the user constants.
//
// Saving: data = SetupFile::fromSetup(setup, parametric, constants); checkStorable(data, error);
// save(path, format(data), views, error), with the two view images when a plot is shown.
// Opening: readFile(path, data, error) checks the whole file before it returns; only then
// Session sets chkParametric, ApplySetupToRecord(data, setup), refills the constants list, and
// calls ApplySetupToFields(data, fields) (running the parametric toggle itself). On failure
// nothing has changed and the error is the message to show; one that begins with Incompatible()
// is shown with the caption "vantro", its second line saying what the file holds instead.

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

// Texts the format cannot carry (a double quote or line break in a stored equation or
// constant), more than MaxConstants constants, or a value with no finite number. A constant
// holding a comma or beginning with a blank is written as a quoted text.
bool checkStorable(const SetupFileData& data, QString& error);

// Files. Messages name the file, except those that begin with Incompatible(). Only a
// regular file is read (a FIFO or device is refused before it is opened).
bool readFile(const QString& path, SetupFileData& data, QString& error);

// An existing, non-empty regular file whose first item is not the magic: Save asks before it
// replaces one.
bool isForeign(const QString& path);
QString ForeignQuestion(const QString& path);

// The view bitmaps written beside a setup file: the whole name followed by "_left.bmp"
// (view 0) or "_right.bmp" (view 1), 24-bit BMP.
QString BitmapName(const QString& setupFileName, int view);

// The setup file and, when `views` holds the two view images, its bitmaps: all three or none.
// The bitmaps follow a regular file only: a device or a standard stream gets the setup alone.
bool save(const QString& path, const QByteArray& bytes, const QList<QImage>& views, QString& error);

// The stored fields into the record (EquationX and EquationY only when parametric); the
// derived fields are left for the next field reader run.
void ApplySetupToRecord(const SetupFileData& data, PlotSetup& setup);

// The field texts from the values: floats in their shortest form of at most 7 significant
// digits, integers in decimal; when parametric, txtEquationX and txtEquationY first, followed by
// the parametric toggle (chkParametric must already be set).
void ApplySetupToFields(const SetupFileData& data, FormFields& fields);
} // namespace SetupFile
