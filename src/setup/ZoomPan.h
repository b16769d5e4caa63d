#pragma once

// The sixteen zoom and pan buttons. The window builds them from ZoomPanButtons(); a click
// calls ZoomPan() with the button's code and, when it succeeds, presses Plot (Session::press
// does both). ZoomPan() itself rewrites only the six window texts.

#include <QList>
#include <QString>

class FormFields;
struct PlotSetup;

struct ZoomPanButton
{
    QString button; // "cmdZoomOut"
    QString caption;
    QString toolTip;
    int code; // 0 zoom out, 1 to 8 octants, 9 zoom in, 10 to 15 pan R, U, L, D, I, O
};

const QList<ZoomPanButton>& ZoomPanButtons(); // by code, 0 to 15
int ZoomPanCode(const QString& button);       // -1 for a name that is no zoom or pan button

// Reads the six window texts with their leading numbers, changes the window by the action code
// and writes the texts back with seven significant digits; when setup is given, its six window
// fields receive the same values. A code outside 0 to 15 rewrites the texts unchanged. A value
// outside the float range (or not a number) stops before any text is written: false, with the
// message in error.
bool ZoomPan(int code, FormFields& fields, QString& error, PlotSetup* setup = nullptr);
